#include "project/locations.h"

#include <gtest/gtest.h>

#include "support/temp_project.h"

namespace zc {
namespace {

using testing::Harness;
using testing::WriteFile;

class LocationsTest : public ::testing::Test {
 protected:
  void Integrated() { h.run.IntegratedMode = true; }
  void WriteConfigurationIni(const std::string& text) {
    WriteFile(h.Path("parameter/r7qconfiguration.ini"), text);
  }
  Harness<ProjectRun> h;
};

TEST_F(LocationsTest, ConfigurationAndStandaloneProgramIniLieInTheParameterFolder) {
  EXPECT_EQ(GetR7QConfigurationIniPath(h.run), "");
  EXPECT_EQ(GetProgramIniPath(h.run, 1), "");
  WriteConfigurationIni("");
  WriteFile(h.Path("parameter/Program.ini"), "");
  EXPECT_EQ(GetR7QConfigurationIniPath(h.run), h.Path("parameter/r7qconfiguration.ini"));
  EXPECT_EQ(GetProgramIniPath(h.run, 1), h.Path("parameter/Program.ini"));
}

TEST_F(LocationsTest, IntegratedProgramIniComesFromTheSaveAndRestoreFolder) {
  Integrated();
  WriteFile(h.Path("copy/parameter/program.ini"), "");
  WriteFile(h.Path("parameter/Program.ini"), "");
  for (const std::string& folder : {h.Path("copy"), h.Path("copy/")}) {
    WriteConfigurationIni("[Common]\r\nSaveAndRestore=" + folder + "\r\n");
    EXPECT_EQ(GetProgramIniPath(h.run, 1), h.Path("copy/parameter/program.ini")) << folder;
    // Any other selector takes the project's own.
    EXPECT_EQ(GetProgramIniPath(h.run, 2), h.Path("parameter/Program.ini"));
  }
  WriteConfigurationIni("[Common]\r\n");  // the root's parameter/program.ini does not exist
  EXPECT_EQ(GetProgramIniPath(h.run, 1), "");
}

TEST_F(LocationsTest, FileNameOnly) {
  EXPECT_EQ(GetFileNameOnly(h.run, testing::AtRoot("plant/Cfg")), "Cfg");
  EXPECT_EQ(GetFileNameOnly(h.run, testing::AtRoot("")), "");
  EXPECT_EQ(GetFileNameOnly(h.run, "Cfg"), "Cfg");
}

TEST_F(LocationsTest, IntegratedMachinesComeFromTheConfigurationIni) {
  Integrated();
  struct Case {
    const char* names;
    std::vector<std::string> machines;
  } cases[] = {
      {"NameM1=A\r\nNameM2=B\r\nNameM3=\r\nNameM4=D\r\n", {"", "A", "B"}},
      {"NameM1=-\r\nNameM2=B\r\n", {}},
      {"NameM1=1\r\nNameM2=2\r\nNameM3=3\r\nNameM4=4\r\nNameM5=5\r\nNameM6=6\r\n",
       {"", "1", "2", "3", "4", "5"}},
  };
  for (const Case& c : cases) {
    h.run.ExistingMachines.clear();
    WriteFile(h.Path("copy/parameter/program.ini"), "[Project]\r\nNumberOfMachines=9\r\n");
    WriteConfigurationIni(std::string("[Common]\r\nSaveAndRestore=") + h.Path("copy") + "\r\n" +
                          c.names);
    GetExistingMachines(h.run, GetR7QConfigurationIniPath(h.run));
    EXPECT_EQ(h.run.ExistingMachines, c.machines) << c.names;
    EXPECT_EQ(h.run.ProgramIniPath, h.Path("copy/parameter/program.ini"));
  }
}

TEST_F(LocationsTest, IntegratedWithoutConfigurationIniListsNoMachine) {
  Integrated();
  GetExistingMachines(h.run, "");
  EXPECT_TRUE(h.run.ExistingMachines.empty());
}

TEST_F(LocationsTest, StandaloneMachinesComeFromProgramIni) {
  WriteFile(h.Path("parameter/Program.ini"),
            "[Project]\r\nNumberOfMachines=3\r\n[Machine1]\r\nMachineName=M1\r\n"
            "[Machine3]\r\nMachineName=M3\r\n");
  GetExistingMachines(h.run, "");
  EXPECT_EQ(h.run.ExistingMachines, (std::vector<std::string>{"", "M1", "", "M3"}));
  EXPECT_EQ(h.run.ProgramIniPath, h.Path("parameter/Program.ini"));
}

TEST_F(LocationsTest, StandaloneWithoutMachineCountLeavesTheListUnsized) {
  WriteFile(h.Path("parameter/Program.ini"), "[Machine1]\r\nMachineName=M1\r\n");
  GetExistingMachines(h.run, "");
  EXPECT_TRUE(h.run.ExistingMachines.empty());
}

}  // namespace
}  // namespace zc
