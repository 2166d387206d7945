#include "project/edit_info.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "errors/start_up.h"
#include "support/temp_project.h"

namespace zc {
namespace {

using platform::Answer;
using platform::ProgramEnded;
using testing::Harness;
using testing::ReadFile;
using testing::WriteFile;

TEST(EditInfoTest, ProgramStampNamesVersionAndStartMode) {
  struct Case {
    const char* command_line;
    const char* stamp;
  } cases[] = {
      {"/EXTERNAL=R7QCFG", "1.0.1 - Integrated"},
      {"", "1.0.1 - Standalone"},
      {"/EXTERNAL=SILENT", "1.0.1 - Standalone"},
  };
  for (const Case& c : cases) {
    Harness<zc::ProjectRun> h(c.command_line);
    WriteFile(h.Path("Zantel/Zantel.cfg"), "[Project]\r\nValidMachines=ALL\r\n");
    GetStartModeIntegrated(h.run);
    WriteEditInfo(h.run);
    EXPECT_EQ(ReadFile(h.Path("Zantel/Zantel.cfg")),
              std::string("[Project]\r\nValidMachines=ALL\r\n\r\n[Info]\r\nS_Prog=") + c.stamp +
                  "\r\nS_Editor=796A78796A77\r\n")
        << c.command_line;
  }
}

TEST(EditInfoTest, EditorIsEncodedCharacterByCharacter) {
  struct Case {
    const char* entry;
    const char* encoded;
  } cases[] = {
      {"NAME=ab-c_d", "66676869"},
      {"NAME=A\t", "46E"},
      {"NAME=x=y", "7D427E"},         // only the first "=" separates
      {"NOVALUE", "53545B46515A4A"},  // no "=": the whole entry
      {"NAME=", ""},
      {"", ""},
      {"NAME=-_-__", ""},
      {"NAME=\xC3\xA9\xC3\xBF", "EE104"},  // é and ÿ by their Windows-1252 codes
  };
  for (const Case& c : cases) {
    Harness<zc::ProjectRun> h;
    WriteFile(h.Path("Zantel/Zantel.cfg"), "");
    h.run.process.first_environment_entry = c.entry;
    WriteEditInfo(h.run);
    std::string cfg = ReadFile(h.Path("Zantel/Zantel.cfg"));
    EXPECT_NE(cfg.find(std::string("S_Editor=") + c.encoded + "\r\n"), std::string::npos)
        << c.entry << " gave " << cfg;
  }
}

TEST(EditInfoTest, ASecondRunReplacesTheFirstStamp) {
  Harness<zc::ProjectRun> h;
  WriteFile(h.Path("Zantel/Zantel.cfg"), "");
  h.run.process.first_environment_entry = "USER=a";
  WriteEditInfo(h.run);
  h.run.IntegratedMode = true;
  h.run.process.version = {2, 10, 0};
  h.run.process.first_environment_entry = "USER=b";
  WriteEditInfo(h.run);
  EXPECT_EQ(ReadFile(h.Path("Zantel/Zantel.cfg")),
            "[Info]\r\nS_Prog=2.10.0 - Integrated\r\nS_Editor=67\r\n");
}

TEST(EditInfoTest, MissingCfgEndsTheProgramBeforeAnyStamp) {
  Harness<zc::ProjectRun> h;
  h.ui.Script({Answer::kOk});
  EXPECT_THROW(WriteEditInfo(h.run), ProgramEnded);
  EXPECT_EQ(h.ui.shown.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(h.Path("Zantel/Zantel.cfg")));
}

}  // namespace
}  // namespace zc
