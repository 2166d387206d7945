#include "presets/preparation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/platform.h"
#include "support/preset_project.h"

namespace zc {
namespace {

using platform::Answer;
using testing::I;
using testing::Null;
using testing::PresetProject;
using testing::Row;
using testing::T;
using testing::TemplateRow;

enum { kId, kPart, kMachine, kType, kVarName };

// Zeroes a table's first page, as a damaged disk would: the file opens and
// names the table, but its rows cannot be reached.
void DamageTable(const std::string& path, const std::string& table) {
  std::string where = "FROM sqlite_master WHERE name='" + table + "'";
  int page = std::stoi(testing::QueryText(path, "SELECT rootpage " + where));
  int size = std::stoi(testing::QueryText(path, "PRAGMA page_size"));
  std::fstream file(testing::PathOf(path), std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(std::streamoff{page - 1} * size);
  file.write(std::string(size, '\0').data(), size);
}

class WorkOnMdbTest : public ::testing::Test {
 protected:
  void Prepare(PresetProject& q, const std::vector<Row>& patterns,
               const std::string& vwstudio = "false") {
    q.WriteCfg("ForMachine1=true\r\nValidMachines=ALL\r\n");
    testing::WriteFile(q.Path("parameter/Program.ini"),
                       "[Project]\r\nVWStudio=" + vwstudio + "\r\n");
    q.run.ProgramIniPath = q.Path("parameter/Program.ini");
    q.SetMachines({"M1"});
    q.BuildSource(
        testing::PresetColumns(),
        {TemplateRow(1, "###machine", "A", 0, I(1)), TemplateRow(2, "###machine", "B", 0, I(2))},
        patterns);
    q.BuildComponent(testing::PresetColumns(), {});
  }
  std::vector<std::string> Names(PresetProject& q) {
    std::vector<std::string> names;
    for (const Row& row : testing::ReadTable(q.ComponentPath(), "PRESET_DEFS")) {
      names.push_back(row[kVarName].ToText());
    }
    return names;
  }
};

TEST_F(WorkOnMdbTest, TheComponentDatabaseBecomesACopyOfTheSourceWhoseTimesStay) {
  PresetProject q;
  Prepare(q, {{T("VISIWIN32"), T("x.###Var_Name"), I(1)}});
  testing::WriteFile(q.Path("Zantel/Zantel.mdb"), "");  // not even a database yet
  std::filesystem::remove(q.ComponentPath());
  auto before = platform::GetFileTimes(q.SourcePath());
  before->last_write -= 86400LL * 1000000000;
  ASSERT_TRUE(platform::SetFileTimes(q.SourcePath(), *before));
  WorkOnMDB(q.run);
  EXPECT_EQ(testing::ReadFile(q.ComponentPath()), testing::ReadFile(q.SourcePath()));
  EXPECT_EQ(platform::GetFileTimes(q.SourcePath())->last_write, before->last_write);
  EXPECT_EQ(Names(q), (std::vector<std::string>{"x.A", ""}));
  EXPECT_EQ(testing::QueryText(q.ComponentPath(),
                               "SELECT count(*) FROM sqlite_master WHERE type='index'"),
            "0");
  EXPECT_TRUE(q.ui.shown.empty());
}

TEST_F(WorkOnMdbTest, PatternsByNamingSystem) {
  struct Case {
    std::vector<Row> patterns;
    std::string vwstudio;
    std::vector<std::string> names;
  } cases[] = {
      {{{T("visiwin32"), T("a.###Var_Name"), I(1)}, {T("VisiWinStudio"), T("s.###Var_Name"), I(1)}},
       "false",
       {"a.A", ""}},
      {{{T("visiwin32"), T("a.###Var_Name"), I(1)}, {T("VisiWinStudio"), T("s.###Var_Name"), I(1)}},
       "TRUE",
       {"s.A", ""}},
      {{{T("VISIWIN32"), T("first"), I(1)},
        {T("VISIWIN32"), T("later.###Var_Name"), I(1)},
        {T("OTHER"), T("ignored"), I(2)}},
       "false",
       {"later.A", ""}},
      // A row that cannot be read leaves bare names for part 1 and reading goes on.
      {{{T("VISIWIN32"), T("p2.###Var_Name"), I(2)}, {T("VISIWIN32"), T("bad"), I(51)}},
       "false",
       {"A", "p2.B"}},
      {{{T("VISIWIN32"), Null(), I(2)}}, "false", {"A", ""}},
  };
  for (const Case& c : cases) {
    PresetProject q;
    Prepare(q, c.patterns, c.vwstudio);
    WorkOnMDB(q.run);
    EXPECT_EQ(Names(q), c.names) << c.vwstudio;
    EXPECT_TRUE(q.ui.shown.empty());
  }
}

TEST_F(WorkOnMdbTest, IntegratedRunsUseVisiWin32AndTheMachineCopy) {
  PresetProject q("/EXTERNAL=R7QCFG");
  q.run.IntegratedMode = true;
  Prepare(q,
          {{T("VISIWIN32"), T("v32.###Var_Name"), I(1)},
           {T("VISIWINSTUDIO"), T("st.###Var_Name"), I(1)}},
          "true");
  testing::WriteFile(q.Path("parameter/r7qconfiguration.ini"),
                     "[Common]\r\nSaveAndRestore=" + q.Path("copy") + "\r\n");
  Row earlier = TemplateRow(1, "M1", "st.A", 0, I(1));
  earlier[10] = testing::D(42);
  testing::BuildDatabase(q.Path("copy/Zantel/Zantel.mdb"),
                         {{"PRESET_DEFS", testing::PresetColumns(), {earlier}}});
  WorkOnMDB(q.run);
  std::vector<Row> rows = testing::ReadTable(q.ComponentPath(), "PRESET_DEFS");
  EXPECT_EQ(rows[0][kVarName], T("v32.A"));
  EXPECT_EQ(rows[0][10], testing::D(42));  // found under its converted name
  EXPECT_TRUE(q.ui.shown.empty());
}

TEST_F(WorkOnMdbTest, AnIntegratedPreviewReadsTheMachineCopyAndChangesNoFile) {
  PresetProject q("/EXTERNAL=R7QCFG /preview");
  q.run.IntegratedMode = true;
  Prepare(q, {{T("VISIWIN32"), T("v.###Var_Name"), I(1)}});
  testing::WriteFile(q.Path("parameter/r7qconfiguration.ini"),
                     "[Common]\r\nSaveAndRestore=" + q.Path("copy") + "\r\n");
  Row kept = TemplateRow(1, "M1", "v.A", 0, I(1)), dropped = TemplateRow(2, "M1", "Gone", 0, I(1));
  kept[10] = testing::D(42);
  testing::BuildDatabase(q.Path("copy/Zantel/Zantel.mdb"),
                         {{"PRESET_DEFS", testing::PresetColumns(), {kept, dropped}}});
  const auto before = testing::TreeState(q.Path(""), {"Zantel_Report.txt"});
  WorkOnMDB(q.run);
  q.run.FinishPendingWrites();
  EXPECT_EQ(testing::TreeState(q.Path(""), {"Zantel_Report.txt"}), before);
  std::string report = testing::ReadFile(q.Path("Zantel/Zantel_Report.txt"));
  for (const std::string& line : std::vector<std::string>{
           "PREVIEW: ", "would be carried: 1 of 2\r\n", "  M1 | v.A | 0 | 42 | 2 | 3 | 4 | 0\r\n",
        "would NOT be carried", "  M1 | Gone | 0 | 1 | 2 | 3 | 4 | 0\r\n", "machine copy " + q.Path("copy"),
        "A run would replace the component database"}) {
    EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
  }
}

TEST_F(WorkOnMdbTest, IntegratedRunsWithoutMachineCopySayWhyAndRunOn) {
  PresetProject q("/EXTERNAL=R7QCFG");
  q.run.IntegratedMode = true;
  Prepare(q, {{T("VISIWIN32"), T("###Var_Name"), I(1)}});
  q.ui.Script({Answer::kOk});
  WorkOnMDB(q.run);
  ASSERT_EQ(q.ui.shown.size(), 1u);
  EXPECT_EQ(q.ui.shown[0].text,
            "Konnte die Datei:\"Zantel.mdb\" in der Vorlage nicht finden!\r\n\r\n"
            "Ist das Bild in der Vorlage noch nicht vorhanden (also neu)?\r\n"
            "Dann ist diese Meldung völlig normal und es wird eine neue Datei mit den "
            "Standardwerten erzeugt.");
  EXPECT_EQ(q.ui.shown[0].icon, platform::Icon::kInformation);
  EXPECT_EQ(Names(q), (std::vector<std::string>{"A", ""}));
}

TEST_F(WorkOnMdbTest, AMachineCopyThatIsNoDatabaseCostsNoData) {
  PresetProject q("/EXTERNAL=R7QCFG");
  q.run.IntegratedMode = true;
  Prepare(q, {{T("VISIWIN32"), T("###Var_Name"), I(1)}});
  q.BuildComponent(testing::PresetColumns(), {TemplateRow(5, "M1", "A", 0, I(1))});
  std::string earlier = testing::ReadFile(q.ComponentPath());
  testing::WriteFile(q.Path("parameter/r7qconfiguration.ini"),
                     "[Common]\r\nSaveAndRestore=" + q.Path("copy") + "\r\n");
  testing::WriteFile(q.Path("copy/Zantel/Zantel.mdb"), "garbage, not a database");
  for (int i = 0; i < 10; ++i) q.ui.Script({Answer::kYes});  // each procedure reports once
  WorkOnMDB(q.run);
  EXPECT_NE(q.ErrorLog().find("(Nr. 3343) :Unrecognized database format"), std::string::npos);
  EXPECT_TRUE(testing::ReadFile(q.Path("Zantel/Zantel_previous.mdb")) == earlier);
  EXPECT_EQ(Names(q), (std::vector<std::string>{"A", ""}));  // the new table all the same
}

TEST_F(WorkOnMdbTest, ATableWhoseRowsCannotBeReachedIsReportedByTheProcedureGoingThroughIt) {
  struct Case {
    bool in_source;
    const char* table;
    std::vector<std::string> reported_by;
    std::vector<std::string> names;
  } cases[] = {
      {true, "Source_DEFS", {"WorkOnMDB"}, {"A", ""}},  // bare names, as for a missing table
      {false,
       "PRESET_DEFS",
       {"VarNameInQuelleErsetzen", "TakeoverMachineCopyMDBData"},
       {"x.A", ""}},
  };
  for (const Case& c : cases) {
    PresetProject q("/EXTERNAL=SILENT");
    q.run.SilentMode = true;
    Prepare(q, {{T("VISIWIN32"), T("x.###Var_Name"), I(1)}});
    DamageTable(c.in_source ? q.SourcePath() : q.ComponentPath(), c.table);
    EXPECT_NO_THROW(WorkOnMDB(q.run)) << c.table;
    EXPECT_EQ(Names(q), c.names) << c.table;  // the run went on to its end
    for (const std::string& name : c.reported_by) {
      EXPECT_NE(q.ErrorLog().find("/ " + name + " (Nr. 3343)"), std::string::npos) << q.ErrorLog();
    }
    const std::string report = testing::ReadFile(q.Path("Zantel/Zantel_Report.txt"));
    EXPECT_EQ(report.find("earlier table could not be read") != std::string::npos, !c.in_source);
  }
}

TEST_F(WorkOnMdbTest, AMissingSourceDatabaseStopsTheRunSilently) {
  PresetProject q;
  Prepare(q, {});
  std::filesystem::remove(q.SourcePath());
  std::string before = testing::ReadFile(q.ComponentPath());
  WorkOnMDB(q.run);
  EXPECT_EQ(testing::ReadFile(q.ComponentPath()), before);
  EXPECT_TRUE(q.ui.shown.empty());
  EXPECT_EQ(q.ErrorLog(), "");
}

TEST_F(WorkOnMdbTest, TheReportTellsWhatTheRunDid) {
  PresetProject q;
  Prepare(q, {{T("VISIWIN32"), T("###Var_Name"), I(1)}});
  q.SetMachines({"M1", "M2"});
  Row gone = TemplateRow(7, "M1", "Gone", 3, I(1));
  q.BuildComponent(testing::PresetColumns(), {TemplateRow(5, "M1", "A", 0, I(1)), gone});
  WorkOnMDB(q.run);
  std::string report = testing::ReadFile(q.Path("Zantel/Zantel_Report.txt"));
  for (const char* line :
       {"  M1: 2\r\n", "  M2: not configured\r\n", "  Total: 2\r\n", "carried: 1 of 2\r\n",
        "  M1 | Gone | 3 | 1 | 2 | 3 | 4 | 0\r\n", "Naming system: VISIWIN32\r\n"}) {
    EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
  }
}

}  // namespace
}  // namespace zc
