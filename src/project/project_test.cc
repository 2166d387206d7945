// Where the project's files lie, which machines it has, and the edit stamp.
#include <gtest/gtest.h>

#include "errors/start_up.h"
#include "platform/ansi_text.h"
#include "project/component_files.h"
#include "project/edit_info.h"
#include "project/locations.h"
#include "support/temp_project.h"

namespace zc {
namespace {

using platform::Answer;
using platform::ProgramEnded;
using testing::AtRoot;
using testing::Harness;
using testing::ReadFile;
using testing::WriteFile;

// The files lie in <project>/<component>/, the project folder being the
// parent of the program's, even of a root. Of them only the .cfg must exist:
// without it the program says so, or logs it in a silent start, and ends. A
// missing file is no failure: nothing reaches the error log.
TEST(ComponentFilesTest, FollowFromTheProgramsPlaceAndAMissingCfgEndsTheProgram) {
  Harness<ProjectRun> h;
  struct Case {
    std::string program, database, cfg;
    bool silent;
  } cases[] = {
      {h.Path("Bin/Zantel_Config"), h.Path("Zantel/Zantel.mdb"), h.Path("Zantel/Zantel.cfg"),
       false},
      {AtRoot("Zantel_Config"), AtRoot("Zantel/Zantel.mdb"), AtRoot("Zantel/Zantel.cfg"), false},
      // Last, as the rows share one service-pack log.
      {h.Path("Bin/Zantel_Config"), h.Path("Zantel/Zantel.mdb"), h.Path("Zantel/Zantel.cfg"),
       true}};
  for (const Case& c : cases) {
    platform::ScriptedUi ui;
    ProjectRun run(testing::FactsFor(c.program, "", h.Path("TolvaServicePack.log")), ui);
    run.SilentMode = c.silent;
    EXPECT_EQ(GetPathOCXMDB(run), c.database);
    EXPECT_EQ(GetPathSourceOCXMDB(run), "");
    if (!c.silent) ui.Script({Answer::kOk});
    EXPECT_THROW(GetValidMachines(run), ProgramEnded);
    EXPECT_EQ(ui.exit_code, exit_status::kEndedOnFailure);
    const std::string text =
        "File not found: \n\r" + testing::OnPlatform(c.cfg, platform::UpperCase(c.cfg));
    EXPECT_EQ(h.ServicePackLog(), c.silent ? "! Fault Zantel_Config: " + text + "\r\n" : "");
    ASSERT_EQ(ui.shown.size(), c.silent ? 0u : 1u);
    if (!c.silent) {
      EXPECT_EQ(ui.shown[0].text, text);
      EXPECT_EQ(ui.shown[0].title, "Zantel_Config");
      EXPECT_EQ(ui.shown[0].icon, platform::Icon::kCritical);
    }
    EXPECT_EQ(h.ErrorLog(), "");
  }
}

// One run for every case: each reading replaces the fields of the one before.
// They count from 1, "part" always first; the query text names them all.
TEST(ComponentFilesTest, AdditionalFieldsSplitAtEveryComma) {
  struct Case {
    const char* entry;  // nullptr: no entry at all
    std::string sql;
    int count;
  } cases[] = {
      {"A,B", ", PRESET_DEFS.part, PRESET_DEFS.A, PRESET_DEFS.B", 3},
      {nullptr, ", PRESET_DEFS.part", 1},
      {"", ", PRESET_DEFS.part", 1},
      {"A, B", ", PRESET_DEFS.part, PRESET_DEFS.A, PRESET_DEFS. B", 3},
      {"A,,B", ", PRESET_DEFS.part, PRESET_DEFS.A, PRESET_DEFS., PRESET_DEFS.B", 4},
      {"A,", ", PRESET_DEFS.part, PRESET_DEFS.A, PRESET_DEFS.", 3},
      {"part", ", PRESET_DEFS.part, PRESET_DEFS.part", 2},
  };
  Harness<ProjectRun> h;
  for (const Case& c : cases) {
    WriteFile(h.Path("Zantel/Zantel.cfg"),
              c.entry ? std::string("[Project]\r\nDataBaseAdditionalFields=") + c.entry + "\r\n"
                      : "[Project]\r\n");
    GetAddFields(h.run);
    ASSERT_TRUE(h.run.AdditionalFields) << (c.entry ? c.entry : "(missing)");
    EXPECT_EQ(h.run.AdditionalFields->size(), c.count + 1u);
    EXPECT_EQ(h.run.AdditionalFields->front(), "");
    EXPECT_EQ(h.run.AdditionalFieldsSQL, c.sql);
    EXPECT_EQ(h.run.AdditionalFieldCount, c.count);
  }
}

// Integrated: NameM1..NameM5 of the configuration ini, up to the first empty
// name or "-", and the Program.ini of its SaveAndRestore folder. Standalone:
// the project's own Program.ini, as many machines as it counts.
TEST(LocationsTest, MachinesAndProgramIniOfTheStartMode) {
  const char* copy_ini = "copy/parameter/program.ini";
  struct Case {
    bool integrated;
    const char* save_and_restore;  // nullptr: no such entry
    const char* lines;             // of the configuration ini or Program.ini
    std::vector<std::string> machines;
    const char* program_ini;  // nullptr: none found
  } cases[] = {
      {true, "copy", "NameM1=A\r\nNameM2=B\r\nNameM3=\r\nNameM4=D\r\n", {"", "A", "B"}, copy_ini},
      {true, "copy/", "NameM1=-\r\nNameM2=B\r\n", {}, copy_ini},
      {true,
       "copy",
       "NameM1=1\r\nNameM2=2\r\nNameM3=3\r\nNameM4=4\r\nNameM5=5\r\nNameM6=6\r\n",
       {"", "1", "2", "3", "4", "5"},
       copy_ini},
      {true, nullptr, "NameM1=A\r\n", {"", "A"}, nullptr},  // the root's Program.ini
      {false,
       nullptr,
       "[Project]\r\nNumberOfMachines=3\r\n[Machine1]\r\nMachineName=M1\r\n"
       "[Machine3]\r\nMachineName=M3\r\n",
       {"", "M1", "", "M3"},
       "parameter/Program.ini"},
      {false, nullptr, "[Machine1]\r\nMachineName=M1\r\n", {}, "parameter/Program.ini"},
  };
  for (const Case& c : cases) {
    Harness<ProjectRun> h;
    h.run.IntegratedMode = c.integrated;
    // Counted machines an integrated start ignores.
    WriteFile(h.Path(copy_ini), "[Project]\r\nNumberOfMachines=9\r\n");
    std::string text = c.integrated ? std::string("[Common]\r\n") + c.lines : c.lines;
    if (c.save_and_restore) text += "SaveAndRestore=" + h.Path(c.save_and_restore) + "\r\n";
    WriteFile(h.Path(c.integrated ? "parameter/r7qconfiguration.ini" : "parameter/Program.ini"),
              text);
    GetExistingMachines(h.run, GetR7QConfigurationIniPath(h.run));
    EXPECT_EQ(h.run.ExistingMachines, c.machines) << text;
    EXPECT_EQ(h.run.ProgramIniPath, c.program_ini ? h.Path(c.program_ini) : "") << text;
  }
}

// The stamp replaces an earlier one. The editor is each character of the
// first environment entry's value but "-" and "_", as its Windows-1252 code
// plus 5 in hex.
TEST(EditInfoTest, StampNamesVersionStartModeAndTheEncodedEditor) {
  struct Case {
    const char* command_line;
    const char* entry;
    const char* stamp;
    const char* editor;
    platform::Version version = {1, 0, 1};
  } cases[] = {
      {"/EXTERNAL=R7QCFG", "NAME=ab-c_d", "1.0.1 - Integrated", "66676869"},
      {"", "NAME=A\t", "1.0.1 - Standalone", "46E"},
      {"/EXTERNAL=SILENT", "NAME=x=y", "2.10.0 - Standalone", "7D427E", {2, 10, 0}},
      {"", "NOVALUE", "1.0.1 - Standalone", "53545B46515A4A"},  // no "=": the whole entry
      {"", "NAME=", "1.0.1 - Standalone", ""},
      {"", "NAME=-_-__", "1.0.1 - Standalone", ""},
      {"", "NAME=\xC3\xA9\xC3\xBF", "1.0.1 - Standalone", "EE104"},  // é and ÿ
  };
  for (const Case& c : cases) {
    Harness<zc::ProjectRun> h(c.command_line);
    WriteFile(h.Path("Zantel/Zantel.cfg"),
              "[Project]\r\nValidMachines=ALL\r\n\r\n[Info]\r\nS_Prog=0.9\r\n");
    h.run.process.first_environment_entry = c.entry;
    h.run.process.version = c.version;
    GetStartModeIntegrated(h.run);
    WriteEditInfo(h.run);
    EXPECT_EQ(ReadFile(h.Path("Zantel/Zantel.cfg")),
              std::string("[Project]\r\nValidMachines=ALL\r\n\r\n[Info]\r\nS_Prog=") + c.stamp +
                  "\r\nS_Editor=" + c.editor + "\r\n")
        << c.entry;
  }
}

}  // namespace
}  // namespace zc
