// Whole runs on projects whose databases are Access files, as the plants
// have them: the files stay Access files, with the rebuilt table written into
// them and everything else as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "jet/format.h"
#include "presets/db/jet_export.h"
#include "presets/db/jet_test_support.h"
#include "presets/preparation.h"
#include "support/jet_page_check.h"
#include "support/preset_project.h"

namespace zc {
namespace {

using jet::test_support::Fixture;
using jet::test_support::FolderContents;
using testing::D;
using testing::I;
using testing::PresetColumns;
using testing::ReadFile;
using testing::Row;
using testing::T;
using testing::TemplateRow;

// The five values the operators set: abs_min, abs_max, min, max, pass.
struct Operators {
  double abs_min, abs_max, min, max;
  int pass;
};
constexpr Operators kTemplateValues{1, 2, 3, 4, 0};  // as TemplateRow has them
constexpr std::size_t kAbsMin = 10;                  // the first of the five in PresetColumns()

Row WithOperators(Row row, const Operators& values) {
  row.resize(kAbsMin);
  row.insert(row.end(),
             {D(values.abs_min), D(values.abs_max), D(values.min), D(values.max), I(values.pass)});
  return row;
}

const std::vector<testing::TableSpec> kTemplate = {
    {"Source_DEFS",
     {{"System", "TEXT(20)"}, {"Var_Name", "TEXT(255)"}, {"Part", "SHORT"}},
     {{T("VISIWIN32"), T("v32.###Var_Name"), I(1)}, {T("VISIWINSTUDIO"), T("st.###Var_Name"), I(1)}}},
    {"Source_PRESET_DEFS",
     PresetColumns(),
     {TemplateRow(1, "###machine", "A", 0, I(1)), TemplateRow(2, "###machine", "B", 3, I(1))}}};

class JetRunTest : public ::testing::Test {
 protected:
  // Two machines; the template and its name patterns in an Access file.
  void PrepareProject(testing::PresetProject& p) {
    p.WriteCfg("ForMachine1=true\r\nForMachine2=true\r\nValidMachines=ALL\r\n");
    p.SetMachines({"M1", "M2"});
    testing::WriteFile(p.Path("parameter/Program.ini"), "[Project]\r\nVWStudio=false\r\n");
    p.run.ProgramIniPath = p.Path("parameter/Program.ini");
    std::filesystem::create_directories(p.Path("Zantel"));
    testing::BuildAccessDatabase(p.SourcePath(), kTemplate);
  }
  // An earlier PRESET_DEFS as an Access file: the operators' values for A on
  // M1 and for B on M2, under names of the given naming pattern.
  void WriteEarlier(const std::string& path, const std::string& prefix) {
    testing::BuildAccessDatabase(
        path, {{"PRESET_DEFS",
                PresetColumns(),
                {WithOperators(TemplateRow(7, "M1", prefix + "A", 0, I(1)), first_),
                 WithOperators(TemplateRow(9, "M2", prefix + "B", 3, I(1)), second_)}}});
  }
  // Both files stay Access files, every page of them accounted for, the new
  // table in both and the template as it was.
  void ExpectWrittenBack(testing::PresetProject& p) {
    const std::vector<Row> expected = {
        WithOperators(TemplateRow(1, "M1", "v32.A", 0, I(1)), first_),
        WithOperators(TemplateRow(2, "M1", "v32.B", 3, I(1)), kTemplateValues),
        WithOperators(TemplateRow(3, "M2", "v32.A", 0, I(1)), kTemplateValues),
        WithOperators(TemplateRow(4, "M2", "v32.B", 3, I(1)), second_)};
    for (const std::string& path : {p.SourcePath(), p.ComponentPath()}) {
      EXPECT_EQ(jet::KindOfFile(path), jet::FileKind::kJet4) << path;
      EXPECT_EQ(testing::ReadAccessTable(path, "PRESET_DEFS"), expected) << path;
      EXPECT_EQ(testing::ReadAccessTable(path, "Source_PRESET_DEFS"), kTemplate[1].rows) << path;
      EXPECT_EQ(testing::PageMapProblems(path), std::vector<std::string>{}) << path;
    }
    EXPECT_TRUE(p.ui.shown.empty());
    EXPECT_EQ(p.ErrorLog(), "");
    std::string report = ReadFile(p.Path("Zantel/Zantel_Report.txt"));
    EXPECT_NE(report.find("Wrote PRESET_DEFS back into the Access file " + p.SourcePath() + "."),
              std::string::npos)
        << report;
  }

  const Operators first_{-5.5, 5.5, -1.25, 1.25, 3};
  const Operators second_{10, 20, 12.5, 17.5, 2};
};

TEST_F(JetRunTest, TheOperatorsValuesComeOverAndTheFilesStayAccessFiles) {
  testing::PresetProject p("/EXTERNAL=SILENT");
  p.run.SilentMode = true;
  PrepareProject(p);
  WriteEarlier(p.ComponentPath(), "v32.");
  const std::string component = ReadFile(p.ComponentPath());
  auto times = platform::GetFileTimes(p.SourcePath());

  WorkOnMDB(p.run);
  p.run.FinishPendingWrites();

  ExpectWrittenBack(p);
  EXPECT_EQ(ReadFile(p.Path("Zantel/Zantel_previous.mdb")), component);
  EXPECT_EQ(platform::GetFileTimes(p.SourcePath())->last_write, times->last_write);
  EXPECT_EQ(FolderContents(p.Path("Zantel")),
            (std::set<std::string>{"Zantel.cfg", "Zantel.mdb", "Zantel_Source.mdb",
                                   "Zantel_Report.txt", "Zantel_previous.mdb"}));
}

// The machine copy replaces the component database before its values are read.
TEST_F(JetRunTest, AnIntegratedRunCarriesTheValuesOfAnAccessMachineCopy) {
  testing::PresetProject p("/EXTERNAL=R7QCFG");
  p.run.IntegratedMode = true;
  PrepareProject(p);
  testing::WriteFile(p.Path("parameter/r7qconfiguration.ini"),
                     "[Common]\r\nSaveAndRestore=" + p.Path("copy") + "\r\n");
  const std::string machine_copy = p.Path("copy/Zantel/Zantel.mdb");
  std::filesystem::create_directories(p.Path("copy/Zantel"));
  WriteEarlier(machine_copy, "st.");  // named for VisiWin Studio: converted on the way
  const std::string copy = ReadFile(machine_copy);

  WorkOnMDB(p.run);
  p.run.FinishPendingWrites();

  ExpectWrittenBack(p);
  EXPECT_EQ(ReadFile(machine_copy), copy);
}

// An Access 97 template stays an Access 97 file.
TEST_F(JetRunTest, AJet3TemplateStaysJet3) {
  testing::PresetProject p("/EXTERNAL=SILENT");
  p.run.SilentMode = true;
  PrepareProject(p);
  std::filesystem::remove(p.SourcePath());
  std::filesystem::copy_file(Fixture("jet3_sample.mdb"), p.SourcePath());
  std::filesystem::permissions(p.SourcePath(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  const std::string sqlite = p.Path("template.sqlite");
  testing::BuildDatabase(sqlite, kTemplate);
  jet::WriteTablesToJet(sqlite, {"Source_DEFS", "Source_PRESET_DEFS"}, p.SourcePath(), p.SourcePath());

  WorkOnMDB(p.run);
  p.run.FinishPendingWrites();

  EXPECT_EQ(jet::KindOfFile(p.SourcePath()), jet::FileKind::kJet3);
  EXPECT_EQ(testing::ReadAccessTable(p.SourcePath(), "PRESET_DEFS").size(), 4u);
  EXPECT_EQ(testing::ReadAccessTable(p.ComponentPath(), "Table1").size(), 2u);
  EXPECT_EQ(p.ErrorLog(), "");
}

TEST_F(JetRunTest, AnAccessFileThatCannotBeReadIsReportedByNameAndLeftAsItWas) {
  const std::pair<const char*, std::string> cases[] = {
      {"cut short", ReadFile(Fixture("jet4_types.mdb")).substr(0, 9000)},
      {"Access 2007", jet::test_support::WithAceHeader(ReadFile(Fixture("jet4_types.mdb")))},
  };
  for (const auto& [what, bytes] : cases) {
    testing::PresetProject p("/EXTERNAL=SILENT");
    p.run.SilentMode = true;
    PrepareProject(p);
    testing::WriteFile(p.SourcePath(), bytes);
    WorkOnMDB(p.run);
    p.run.FinishPendingWrites();
    EXPECT_EQ(ReadFile(p.SourcePath()), bytes) << what;
    EXPECT_NE(p.ErrorLog().find("(Nr. 3343) :" + p.SourcePath()), std::string::npos)
        << what << ": " << p.ErrorLog();
    EXPECT_EQ(FolderContents(p.Path("Zantel")),
              (std::set<std::string>{"Zantel.cfg", "Zantel_Source.mdb", "Zantel_Report.txt"}))
        << what;
  }
}

}  // namespace
}  // namespace zc
