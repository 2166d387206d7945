#include "project/component_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ansi_text.h"
#include "support/temp_project.h"

namespace zc {
namespace {

using platform::Answer;
using platform::ProgramEnded;
using testing::Harness;
using testing::WriteFile;

class ComponentFilesTest : public ::testing::Test {
 protected:
  void WriteCfg(const std::string& text) { WriteFile(h.Path("Zantel/Zantel.cfg"), text); }
  void WriteConfigurationIni(const std::string& text) {
    WriteFile(h.Path("parameter/r7qconfiguration.ini"), text);
  }
  Harness<ProjectRun> h;
};

TEST_F(ComponentFilesTest, FilesLieInTheComponentFolderBesideTheProgram) {
  WriteCfg("");
  EXPECT_EQ(GetCFGPath(h.run), h.Path("Zantel/Zantel.cfg"));
  EXPECT_EQ(GetPathOCXMDB(h.run), h.Path("Zantel/Zantel.mdb"));  // no check that it exists
  EXPECT_EQ(GetPathSourceOCXMDB(h.run), "");
  WriteFile(h.Path("Zantel/Zantel_Source.mdb"), "");
  EXPECT_EQ(GetPathSourceOCXMDB(h.run), h.Path("Zantel/Zantel_Source.mdb"));
  // Only an ordinary file counts: a folder of that name does not.
  std::filesystem::remove(h.Path("Zantel/Zantel_Source.mdb"));
  std::filesystem::create_directories(h.Path("Zantel/Zantel_Source.mdb"));
  EXPECT_EQ(GetPathSourceOCXMDB(h.run), "");
  EXPECT_TRUE(h.ui.shown.empty());
}

TEST_F(ComponentFilesTest, NothingIsCached) {
  WriteCfg("");
  EXPECT_EQ(GetPathOCXMDB(h.run), h.Path("Zantel/Zantel.mdb"));
  h.run.process.executable_path = h.Path("Tools/Other_Config");
  WriteFile(h.Path("Other/Other.cfg"), "");
  EXPECT_EQ(GetPathOCXMDB(h.run), h.Path("Other/Other.mdb"));
  EXPECT_EQ(GetCFGPath(h.run), h.Path("Other/Other.cfg"));
}

TEST(ComponentFilesRootTest, AProgramInTheRootHasTheRootAsProjectFolder) {
  testing::TempDir logs;
  platform::ScriptedUi ui;
  zc::ProjectRun run(
      testing::FactsFor(testing::AtRoot("Zantel_Config"), "", logs.path() + "/sp.log"), ui);
  EXPECT_EQ(GetPathOCXMDB(run), testing::AtRoot("Zantel/Zantel.mdb"));
  ui.Script({Answer::kOk});
  EXPECT_THROW(GetCFGPath(run), ProgramEnded);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "File not found: \n\r" + testing::AtRoot("ZANTEL/ZANTEL.CFG"));
}

TEST_F(ComponentFilesTest, MissingCfgIsShownOnceThenTheProgramEnds) {
  h.ui.Script({Answer::kOk});
  bool went_on = false;
  EXPECT_THROW(
      {
        GetValidMachines(h.run);
        went_on = true;
      },
      ProgramEnded);
  EXPECT_FALSE(went_on);
  EXPECT_EQ(h.ui.exit_code, exit_status::kEndedOnFailure);
  ASSERT_EQ(h.ui.shown.size(), 1u);
  EXPECT_EQ(h.ui.shown[0].text,
            "File not found: \n\r" + platform::UpperCase(h.Path("Zantel/Zantel.cfg")));
  EXPECT_EQ(h.ui.shown[0].title, "Zantel_Config");
  EXPECT_EQ(h.ui.shown[0].icon, platform::Icon::kCritical);
  EXPECT_EQ(h.ErrorLog(), "");  // a missing file is no failure
}

TEST_F(ComponentFilesTest, MissingCfgInASilentRunGoesToTheServicePackLog) {
  h.run.SilentMode = true;
  EXPECT_THROW(GetCFGPath(h.run), ProgramEnded);
  EXPECT_TRUE(h.ui.shown.empty());
  EXPECT_EQ(h.ServicePackLog(), "! Fault Zantel_Config: File not found: \n\r" +
                                    platform::UpperCase(h.Path("Zantel/Zantel.cfg")) + "\r\n");
}

TEST_F(ComponentFilesTest, MachineCopyLiesInTheSaveAndRestoreFolder) {
  WriteFile(h.Path("copy/Zantel/Zantel.mdb"), "");
  for (const std::string& folder : {h.Path("copy"), h.Path("copy/")}) {
    WriteConfigurationIni("[Common]\r\nSaveAndRestore=" + folder + "\r\n");
    EXPECT_EQ(GetPathMachineCopyMDB(h.run, h.Path("parameter/r7qconfiguration.ini")),
              h.Path("copy/Zantel/Zantel.mdb"))
        << folder;
  }
  WriteConfigurationIni("[Common]\r\nSaveAndRestore=" + h.Path("elsewhere") + "\r\n");
  EXPECT_EQ(GetPathMachineCopyMDB(h.run, h.Path("parameter/r7qconfiguration.ini")), "");
  // Without a configuration ini the folder is "", so /Zantel/Zantel.mdb is asked for.
  EXPECT_EQ(GetPathMachineCopyMDB(h.run, ""), "");
  EXPECT_TRUE(h.ui.shown.empty());
  EXPECT_EQ(h.ErrorLog(), "");
}

TEST_F(ComponentFilesTest, ValidMachinesAreReadRaw) {
  WriteCfg("[Project]\r\nValidMachines=M1, M3 ,ALL\r\n");
  EXPECT_EQ(GetValidMachines(h.run), "M1, M3 ,ALL");
  WriteCfg("[Project]\r\n");
  EXPECT_EQ(GetValidMachines(h.run), "");
}

TEST_F(ComponentFilesTest, AdditionalFieldsSplitAtEveryComma) {
  struct Case {
    const char* entry;  // nullptr: no entry at all
    std::vector<std::string> fields;
    std::string sql;
  } cases[] = {
      {nullptr, {"", "part"}, ", PRESET_DEFS.part"},
      {"", {"", "part"}, ", PRESET_DEFS.part"},
      {"A,B", {"", "part", "A", "B"}, ", PRESET_DEFS.part, PRESET_DEFS.A, PRESET_DEFS.B"},
      {"A, B", {"", "part", "A", " B"}, ", PRESET_DEFS.part, PRESET_DEFS.A, PRESET_DEFS. B"},
      {"A,,B",
       {"", "part", "A", "", "B"},
       ", PRESET_DEFS.part, PRESET_DEFS.A, PRESET_DEFS., PRESET_DEFS.B"},
      {"A,", {"", "part", "A", ""}, ", PRESET_DEFS.part, PRESET_DEFS.A, PRESET_DEFS."},
      {"part", {"", "part", "part"}, ", PRESET_DEFS.part, PRESET_DEFS.part"},
  };
  for (const Case& c : cases) {
    WriteCfg(c.entry ? std::string("[Project]\r\nDataBaseAdditionalFields=") + c.entry + "\r\n"
                     : "[Project]\r\n");
    EXPECT_EQ(GetAdditionalFieldsMDB(h.run), c.fields) << (c.entry ? c.entry : "(missing)");
    GetAddFields(h.run);
    EXPECT_EQ(h.run.AdditionalFields, c.fields);
    EXPECT_EQ(h.run.AdditionalFieldsSQL, c.sql);
    EXPECT_EQ(h.run.AdditionalFieldCount, static_cast<std::int16_t>(c.fields.size() - 1));
  }
}

TEST_F(ComponentFilesTest, GetAddFieldsReplacesRatherThanAccumulates) {
  WriteCfg("[Project]\r\nDataBaseAdditionalFields=A,B\r\n");
  GetAddFields(h.run);
  GetAddFields(h.run);
  EXPECT_EQ(h.run.AdditionalFieldsSQL, ", PRESET_DEFS.part, PRESET_DEFS.A, PRESET_DEFS.B");
  EXPECT_EQ(h.run.AdditionalFieldCount, 3);
  WriteCfg("[Project]\r\nDataBaseAdditionalFields=C\r\n");
  GetAddFields(h.run);
  EXPECT_EQ(h.run.AdditionalFields, (std::vector<std::string>{"", "part", "C"}));
  EXPECT_EQ(h.run.AdditionalFieldsSQL, ", PRESET_DEFS.part, PRESET_DEFS.C");
  EXPECT_EQ(h.run.AdditionalFieldCount, 2);
}

}  // namespace
}  // namespace zc
