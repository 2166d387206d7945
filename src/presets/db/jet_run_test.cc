// A whole run on a project whose databases are Access files, as plants that
// move to this program have them.
#include <gtest/gtest.h>

#include <filesystem>

#include "presets/db/jet_import.h"
#include "presets/db/jet_note.h"
#include "presets/preparation.h"
#include "support/jet_writer.h"
#include "support/preset_project.h"

namespace zc {
namespace {

using testing::D;
using testing::I;
using testing::PresetColumns;
using testing::ReadFile;
using testing::Row;
using testing::T;
using testing::TemplateRow;

std::string Fixture(const std::string& name) { return std::string(ZC_JET_TESTDATA) + "/" + name; }

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

class JetRunTest : public ::testing::Test {
 protected:
  void SetUp() override { db::SetForeignImporter(jet::ImportAccessFile); }
  void TearDown() override { db::SetForeignImporter(nullptr); }

  // Two machines; the template and its name patterns in an Access file.
  void PrepareProject(testing::PresetProject& p) {
    p.WriteCfg("ForMachine1=true\r\nForMachine2=true\r\nValidMachines=ALL\r\n");
    p.SetMachines({"M1", "M2"});
    testing::WriteFile(p.Path("parameter/Program.ini"), "[Project]\r\nVWStudio=false\r\n");
    p.run.ProgramIniPath = p.Path("parameter/Program.ini");
    std::filesystem::create_directories(p.Path("Zantel"));
    testing::WriteJet4File(p.SourcePath(),
                           {{"Source_DEFS",
                             {{"System", "TEXT(20)"}, {"Var_Name", "TEXT(255)"}, {"Part", "SHORT"}},
                             {{T("VISIWIN32"), T("v32.###Var_Name"), I(1)},
                              {T("VISIWINSTUDIO"), T("st.###Var_Name"), I(1)}}},
                            {"Source_PRESET_DEFS",
                             PresetColumns(),
                             {TemplateRow(1, "###machine", "A", 0, I(1)),
                              TemplateRow(2, "###machine", "B", 3, I(1))}}});
  }
  // An earlier PRESET_DEFS as an Access file: the operators' values for A on
  // M1 and for B on M2, under names of the given naming pattern.
  void WriteEarlier(const std::string& path, const std::string& prefix) {
    testing::WriteJet4File(
        path, {{"PRESET_DEFS",
                PresetColumns(),
                {WithOperators(TemplateRow(7, "M1", prefix + "A", 0, I(1)), first_),
                 WithOperators(TemplateRow(9, "M2", prefix + "B", 3, I(1)), second_)}}});
  }
  // The new table: the template per machine, numbered anew, the operators'
  // values where the earlier table had them and the template's elsewhere.
  void ExpectCarriedOver(testing::PresetProject& p) {
    EXPECT_FALSE(jet::IsJetFile(p.ComponentPath()));
    const std::vector<Row> expected = {
        WithOperators(TemplateRow(1, "M1", "v32.A", 0, I(1)), first_),
        WithOperators(TemplateRow(2, "M1", "v32.B", 3, I(1)), kTemplateValues),
        WithOperators(TemplateRow(3, "M2", "v32.A", 0, I(1)), kTemplateValues),
        WithOperators(TemplateRow(4, "M2", "v32.B", 3, I(1)), second_)};
    EXPECT_EQ(p.Component(), expected);
    EXPECT_TRUE(p.ui.shown.empty());
    EXPECT_EQ(p.ErrorLog(), "");
    EXPECT_EQ(p.ServicePackLog(), "");
  }
  void ExpectImportReported(testing::PresetProject& p, const std::string& path,
                            const std::string& tables) {
    std::string report = ReadFile(p.Path("Zantel/Zantel_Report.txt"));
    EXPECT_NE(report.find("Imported the Access (Jet 4) file " + path + ": " + tables +
                          ". The original is kept as " + path + ".jet."),
              std::string::npos)
        << report;
  }

  const Operators first_{-5.5, 5.5, -1.25, 1.25, 3};
  const Operators second_{10, 20, 12.5, 17.5, 2};
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

TEST_F(JetRunTest, TheOperatorsValuesComeOverFromAnAccessComponentDatabase) {
  testing::PresetProject p("/EXTERNAL=SILENT");
  p.run.SilentMode = true;
  PrepareProject(p);
  WriteEarlier(p.ComponentPath(), "v32.");
  const std::string source = ReadFile(p.SourcePath());
  const std::string component = ReadFile(p.ComponentPath());

  WorkOnMDB(p.run);

  ExpectCarriedOver(p);
  EXPECT_EQ(ReadFile(p.SourcePath() + ".jet"), source);
  EXPECT_EQ(ReadFile(p.ComponentPath() + ".jet"), component);
  ExpectImportReported(p, p.SourcePath(), "Source_DEFS (2 rows), Source_PRESET_DEFS (2 rows)");
  ExpectImportReported(p, p.ComponentPath(), "PRESET_DEFS (2 rows)");
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
  testing::WriteJet4File(
      p.ComponentPath(),
      {{"PRESET_DEFS",
        PresetColumns(),
        {WithOperators(TemplateRow(1, "M1", "v32.A", 0, I(1)), {-1, 1, -1, 1, 1})}}});
  const std::string copy = ReadFile(machine_copy);
  const std::string component = ReadFile(p.ComponentPath());

  WorkOnMDB(p.run);

  ExpectCarriedOver(p);
  EXPECT_EQ(ReadFile(machine_copy), copy);
  EXPECT_EQ(ReadFile(p.ComponentPath() + ".jet"), copy);  // imported where it was put
  EXPECT_EQ(ReadFile(p.Path("Zantel/Zantel_previous.mdb")), component);
  ExpectImportReported(p, p.SourcePath(), "Source_DEFS (2 rows), Source_PRESET_DEFS (2 rows)");
  ExpectImportReported(p, p.ComponentPath(), "PRESET_DEFS (2 rows)");
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
