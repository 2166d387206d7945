// A whole run on a project whose databases are Access files, as plants that
// move to this program have them.
#include <gtest/gtest.h>

#include <filesystem>

#include "presets/db/jet_note.h"
#include "presets/preparation.h"
#include "support/preset_project.h"

namespace zc {
namespace {

using testing::I;
using testing::T;

std::string Fixture(const std::string& name) { return std::string(ZC_JET_TESTDATA) + "/" + name; }

class JetRunTest : public ::testing::Test {
 protected:
  void SetUp() override { db::SetForeignImporter(jet::ImportAccessFile); }
  void TearDown() override { db::SetForeignImporter(nullptr); }
};

TEST_F(JetRunTest, AProjectOfAccessFilesRunsAndKeepsTheOriginals) {
  testing::PresetProject p("/EXTERNAL=SILENT");
  p.run.SilentMode = true;
  p.WriteCfg("ForMachine1=true\r\n");
  p.SetMachines({"M7"});
  std::filesystem::create_directories(p.Path("Zantel"));
  std::filesystem::copy_file(Fixture("jet4_types.mdb"), p.SourcePath());
  std::filesystem::copy_file(Fixture("jet4_types.mdb"), p.ComponentPath());
  std::string original = testing::ReadFile(p.SourcePath());
  auto times = platform::GetFileTimes(p.SourcePath());

  WorkOnMDB(p.run);

  EXPECT_EQ(testing::ReadFile(p.SourcePath() + ".jet"), original);
  EXPECT_EQ(testing::ReadFile(p.ComponentPath() + ".jet"), original);
  EXPECT_EQ(platform::GetFileTimes(p.SourcePath())->last_write, times->last_write);
  // The template's two rows for the one machine.
  std::vector<testing::Row> rows = p.Component();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0], I(1));
  EXPECT_EQ(rows[1][1], T("M1"));
  std::string report = testing::ReadFile(p.Path("Zantel/Zantel_Report.txt"));
  EXPECT_NE(report.find("Imported the Access (Jet 4) file " + p.SourcePath()), std::string::npos);
  EXPECT_NE(report.find("The original is kept as " + p.ComponentPath() + ".jet."),
            std::string::npos);
}

TEST_F(JetRunTest, ADamagedAccessFileIsReportedByNameAndLeftAsItWas) {
  testing::PresetProject p("/EXTERNAL=SILENT");
  p.run.SilentMode = true;
  p.WriteCfg("ForMachine1=true\r\n");
  p.SetMachines({"M7"});
  std::string cut = testing::ReadFile(Fixture("jet4_types.mdb")).substr(0, 9000);
  testing::WriteFile(p.SourcePath(), cut);
  WorkOnMDB(p.run);
  EXPECT_EQ(testing::ReadFile(p.SourcePath()), cut);
  EXPECT_FALSE(std::filesystem::exists(p.SourcePath() + ".jet"));
  EXPECT_NE(p.ErrorLog().find("(Nr. 3343) :" + p.SourcePath()), std::string::npos) << p.ErrorLog();
}

}  // namespace
}  // namespace zc
