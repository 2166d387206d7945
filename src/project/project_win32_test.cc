// Windows project locations: drive letters, "\" separators and the file
// attributes that hide a file from the program.
#include <gtest/gtest.h>

#include "errors/start_up.h"
#include "platform/ansi_text.h"
#include "platform/win32_process.h"
#include "project/component_files.h"
#include "project/edit_info.h"
#include "project/locations.h"
#include "support/file_attributes.h"
#include "support/temp_project.h"

namespace zc {
namespace {

using platform::Answer;
using platform::ProgramEnded;
using testing::FactsFor;
using testing::Harness;
using testing::ReadFile;
using testing::WriteFile;

TEST(WindowsLocationsTest, ComponentFilesFollowFromTheProgramsPlace) {
  struct Case {
    const char* program;
    const char* project;
    const char* database;
    const char* source;
    const char* cfg_shown;
  } cases[] = {
      {"D:\\Plant\\Bin\\Zantel_Config.exe", "D:\\Plant", "D:\\Plant\\Zantel\\Zantel.mdb",
       "D:\\Plant\\Zantel\\Zantel_Source.mdb", "D:\\PLANT\\ZANTEL\\ZANTEL.CFG"},
      {"D:\\Zantel_Config.exe", "D:", "D:\\Zantel\\Zantel.mdb", "D:\\Zantel\\Zantel_Source.mdb",
       "D:\\ZANTEL\\ZANTEL.CFG"},
      {"C:\\Proj\\Bin\\Alpha_Config.exe", "C:\\Proj", "C:\\Proj\\Alpha\\Alpha.mdb",
       "C:\\Proj\\Alpha\\Alpha_Source.mdb", "C:\\PROJ\\ALPHA\\ALPHA.CFG"},
  };
  for (const Case& c : cases) {
    platform::ScriptedUi ui;
    ProjectRun run(FactsFor(c.program, "", ""), ui);
    EXPECT_EQ(run.ProjectFolder(), c.project);
    EXPECT_EQ(GetPathOCXMDB(run), c.database);
    EXPECT_EQ(GetPathSourceOCXMDB(run), "");  // no such file on this machine
    ui.Script({Answer::kOk});
    EXPECT_THROW(GetCFGPath(run), ProgramEnded);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, std::string("File not found: \n\r") + c.cfg_shown);
  }
}

TEST(WindowsLocationsTest, FileNameOnly) {
  Harness<ProjectRun> h;
  EXPECT_EQ(GetFileNameOnly(h.run, "D:\\Proj\\Cfg"), "Cfg");
  EXPECT_EQ(GetFileNameOnly(h.run, "D:\\"), "");
  EXPECT_EQ(GetFileNameOnly(h.run, "Cfg"), "Cfg");
  EXPECT_EQ(GetFileNameOnly(h.run, "D:\\Proj/Cfg"), "Proj/Cfg");
}

TEST(WindowsLocationsTest, SettingsFilesOfAProgramInItsOwnFolder) {
  Harness<ProjectRun> h("", "Setup.exe", "Cfg");
  WriteFile(h.Path("parameter/r7qconfiguration.ini"), "");
  WriteFile(h.Path("parameter/Program.ini"), "");
  EXPECT_EQ(GetR7QConfigurationIniPath(h.run), h.dir.path() + "\\parameter\\r7qconfiguration.ini");
  EXPECT_EQ(GetProgramIniPath(h.run, 1), h.dir.path() + "\\parameter\\Program.ini");
}

TEST(WindowsLocationsTest, HiddenOrSystemFilesCountAsMissing) {
  Harness<ProjectRun> h;
  WriteFile(h.Path("Zantel/Zantel.cfg"), "[Project]\r\nValidMachines=ALL\r\n");
  WriteFile(h.Path("Zantel/Zantel_Source.mdb"), "");
  EXPECT_EQ(GetPathSourceOCXMDB(h.run), h.Path("Zantel/Zantel_Source.mdb"));
  EXPECT_EQ(GetValidMachines(h.run), "ALL");
  ASSERT_TRUE(
      testing::AddAttribute(h.Path("Zantel/Zantel_Source.mdb"), testing::Attribute::kHidden));
  ASSERT_TRUE(testing::AddAttribute(h.Path("Zantel/Zantel.cfg"), testing::Attribute::kSystem));
  EXPECT_EQ(GetPathSourceOCXMDB(h.run), "");
  h.ui.Script({Answer::kOk});
  EXPECT_THROW(GetValidMachines(h.run), ProgramEnded);
  ASSERT_EQ(h.ui.shown.size(), 1u);
  EXPECT_EQ(h.ui.shown[0].text,
            "File not found: \n\r" + platform::UpperCase(h.Path("Zantel/Zantel.cfg")));
}

TEST(WindowsEditInfoTest, EditorComesFromTheFirstVariableNotTheDriveFolders) {
  Harness<ProjectRun> h("/EXTERNAL=R7QCFG /LOGFILE=C:\\Proj\\log.txt");
  WriteFile(h.Path("Zantel/Zantel.cfg"), "[Project]\r\n");
  h.run.process.first_environment_entry =
      platform::win32::FirstVariable(L"=C:=C:\\Plant\0USERNAME=ab-c_d\0PATH=C:\\Windows\0");
  ASSERT_TRUE(GetStartModeIntegrated(h.run));
  WriteEditInfo(h.run);
  EXPECT_EQ(ReadFile(h.Path("Zantel/Zantel.cfg")),
            "[Project]\r\n\r\n[Info]\r\nS_Prog=1.0.1 - Integrated\r\nS_Editor=66676869\r\n");
}

}  // namespace
}  // namespace zc
