#include "presets/takeover.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "presets/generation.h"
#include "presets/preparation.h"
#include "project/component_files.h"
#include "support/preset_project.h"

namespace zc {
namespace {

using platform::Answer;
using platform::ProgramEnded;
using testing::D;
using testing::I;
using testing::Null;
using testing::PresetProject;
using testing::Row;
using testing::T;
using testing::TemplateRow;

enum { kId, kPart, kMachine, kType, kVarName, kCategory, kIsBit, kOffset, kText, kPage, kAbsMin };

// An earlier row with its five values.
Row Earlier(const std::string& machine, const std::string& var, db::Value offset, double base,
            db::Value pass = I(1)) {
  Row row = TemplateRow(99, machine, var, 0, I(1));
  row[kOffset] = std::move(offset);
  row[kAbsMin] = D(base);
  row[kAbsMin + 1] = D(base + 1);
  row[kAbsMin + 2] = D(base + 2);
  row[kAbsMin + 3] = D(base + 3);
  row[kAbsMin + 4] = std::move(pass);
  return row;
}

class TakeoverTest : public ::testing::Test {
 protected:
  // Two machines; the template's names are their own patterns ("###Var_Name").
  void SetUp() override {
    p.WriteCfg("ForMachine1=true\r\nForMachine2=true\r\n");
    p.SetMachines({"M1", "M2"});
  }
  void Build(const std::vector<Row>& template_rows, const std::vector<Row>& earlier,
             std::vector<std::pair<std::string, std::string>> earlier_columns = {}) {
    p.BuildSource(
        testing::PresetColumns(), template_rows,
        {{T("VISIWIN32"), T("###Var_Name"), I(1)}, {T("VISIWINSTUDIO"), T("###Var_Name"), I(1)}});
    p.BuildComponent(earlier_columns.empty() ? testing::PresetColumns() : earlier_columns, earlier);
  }
  std::vector<Row> Run() {
    WorkOnMDB(p.run);
    p.SaveAll();
    return testing::ReadTable(p.ComponentPath(), "PRESET_DEFS");
  }
  static std::vector<db::Value> Carried(const Row& row) {
    return {row.begin() + kAbsMin, row.begin() + kAbsMin + 5};
  }
  PresetProject p;
};

TEST_F(TakeoverTest, TheFiveValuesOfTheMatchingRowAreCarriedNullIncluded) {
  Build({TemplateRow(1, "###machine", "Temp", 3, I(1)),
         TemplateRow(2, "###machine", "Flow", 3, I(1))},
        {Earlier("M2", "temp", I(3), 10, Null()),  // names match without regard to case
         Earlier("M1", "Flow", I(3), 20), Earlier("M1", "Gone", I(3), 30),
         Earlier("M1", "Temp", I(4), 40)});  // other offset
  std::vector<Row> rows = Run();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(Carried(rows[0]),
            (std::vector<db::Value>{D(1), D(2), D(3), D(4), I(0)}));  // template's
  EXPECT_EQ(Carried(rows[1]), (std::vector<db::Value>{D(20), D(21), D(22), D(23), I(1)}));
  EXPECT_EQ(Carried(rows[2]), (std::vector<db::Value>{D(10), D(11), D(12), D(13), Null()}));
  EXPECT_EQ(rows[2][kText], T("text"));  // every other field keeps the generated value
  EXPECT_EQ(p.run.report.carried, 2);
  EXPECT_EQ(p.run.report.not_carried.size(), 2u);
  EXPECT_TRUE(p.ui.shown.empty());
}

TEST_F(TakeoverTest, AnEmptyEarlierTableIsNoFailure) {
  Build({TemplateRow(1, "###machine", "Temp", 0, I(1))}, {});
  EXPECT_EQ(Run().size(), 2u);
  EXPECT_TRUE(p.ui.shown.empty());
  EXPECT_EQ(p.ErrorLog(), "");
}

TEST_F(TakeoverTest, NamesHoldingQuotesAreCarriedLikeAnyOther) {
  Build({TemplateRow(1, "###machine", "Say \"hi\"", 0, I(1))},
        {Earlier("M1", "Say \"hi\"", I(0), 5)});
  EXPECT_EQ(Carried(Run()[0])[0], D(5));
}

TEST_F(TakeoverTest, LaterEarlierRowsWinAndOnlyTheFirstGeneratedRowTakesTheValues) {
  Build({TemplateRow(1, "###machine", "Twice", 0, I(1)),
         TemplateRow(2, "###machine", "Twice", 0, I(1))},
        {Earlier("M1", "Twice", I(0), 5), Earlier("M1", "Twice", I(0), 7)});
  std::vector<Row> rows = Run();
  EXPECT_EQ(Carried(rows[0])[0], D(7));
  EXPECT_EQ(Carried(rows[1])[0], D(1));
  EXPECT_EQ(p.run.report.matched_twice.size(), 2u);
}

TEST_F(TakeoverTest, TheOlderLayoutIsReadTheSameWay) {
  auto older = testing::PresetColumns();
  older[kCategory].first = "Categorie";
  Build({TemplateRow(1, "###machine", "Temp", 0, I(1))}, {Earlier("M1", "Temp", I(0), 9)}, older);
  db::Database source = p.run.engine.OpenDatabase(p.SourcePath());
  db::Database component = p.run.engine.OpenDatabase(p.ComponentPath());
  p.run.VarNamePatterns[0][1] = "###Var_Name";
  CreateRecordSets(p.run, source);
  std::unique_ptr<db::Recordset> rs = component.OpenRecordset("PRESET_DEFS");
  GetAddFields(p.run);
  TakeoverMachineCopyMDBData(p.run, source, rs);
  EXPECT_EQ(rs, nullptr);
  EXPECT_EQ(p.run.report.carried, 1);
  EXPECT_TRUE(p.ui.shown.empty());
}

class FieldWarningTest : public TakeoverTest {
 protected:
  void BuildWithExtraField() {
    auto extended = testing::PresetColumns({"Extra"});
    Row earlier = Earlier("M1", "Temp", I(0), 9);
    earlier.push_back(T("kept only in the earlier table"));
    Build({TemplateRow(1, "###machine", "Temp", 0, I(1))}, {earlier}, extended);
  }
  std::string Warning(const std::string& brk) {
    return "WARNING!" + brk + "Machinecopy contains data in fields that won't be taken over!" +
           brk + "Configurationfile \"ZANTEL.CFG\", missing entry \"DataBaseAdditionalFields \"" +
           brk + "If you continue now this data will be lost." + brk + "Continue?";
  }
};

TEST_F(FieldWarningTest, YesCarriesTheValues) {
  BuildWithExtraField();
  p.ui.Script({Answer::kYes});
  EXPECT_EQ(Carried(Run()[0])[0], D(9));
  ASSERT_EQ(p.ui.shown.size(), 1u);
  EXPECT_EQ(p.ui.shown[0].text, Warning("\n\r"));
  EXPECT_EQ(p.ui.shown[0].title, "Zantel_Config");
  EXPECT_EQ(p.ui.shown[0].default_button, Answer::kNo);
}

TEST_F(FieldWarningTest, NoLogsTheAbortNamingTheProgramAsItLiesOnDiskAndEndsAfterTheFatalBox) {
  BuildWithExtraField();
  p.ui.Script({Answer::kNo, Answer::kOk});
  EXPECT_THROW(WorkOnMDB(p.run), ProgramEnded);
  EXPECT_EQ(p.ui.shown[1].title, "Fatal error");
  // The program as it lies on disk: a POSIX program has no ".exe".
  std::string program = p.Path("Bin/Zantel_Config") + std::string(platform::ProgramExtension());
  EXPECT_EQ(
      p.ErrorLog(),
      "Zantel_Config :Database-Error - Contact Administrator! Configurationprogram \"ZANTEL\" "
      "terminated. Please check Configuration in \"ZANTEL.CFG\" Restart " +
          program + "!\r\n" +
          "Fehler in Zantel / Zantel_Config / TakeoverMachineCopyMDBData (Nr. 9999) "
          ":Database-Error - Contact Administrator!\r\n");
}

TEST_F(FieldWarningTest, SilentRunsLogTheWarningAndCarryOn) {
  BuildWithExtraField();
  p.run.process.command_line = "/EXTERNAL=SILENT";
  p.run.SilentMode = true;
  EXPECT_EQ(Carried(Run()[0])[0], D(9));
  EXPECT_EQ(p.ServicePackLog(), "! Fault Zantel_Config: " + Warning("") + "\r\n");
}

TEST_F(TakeoverTest, AConfiguredFieldTheNewTableLacksEndsTheRunBeforeAnyUpdate) {
  p.WriteCfg("ForMachine1=true\r\nDataBaseAdditionalFields=Missing\r\n");
  Build({TemplateRow(1, "###machine", "Temp", 0, I(1))}, {Earlier("M1", "Temp", I(0), 9)});
  p.ui.Script({Answer::kOk});
  EXPECT_THROW(WorkOnMDB(p.run), ProgramEnded);
  EXPECT_EQ(p.run.report.carried, 0);
  std::string log = p.ErrorLog();
  EXPECT_EQ(log.substr(0, log.find("\r\n")),
            "Conflict while attempting to extend database!Configurationsfile \"ZANTEL.CFG\", "
            "demanded field \"MISSING\"missing in machinecopy-database\n\rConfiguration of "
            "\"ZANTEL\" aborted.");
}

TEST_F(TakeoverTest, ACountThatMatchesNeitherTheTableNorTheNewRowsAborts) {
  Build({TemplateRow(1, "###machine", "Temp", 0, I(1))}, {});
  p.run.VarNamePatterns[0][1] = "###Var_Name";
  db::Database source = p.run.engine.OpenDatabase(p.SourcePath());
  CreateRecordSets(p.run, source);  // two generated rows
  EXPECT_TRUE(CheckCopyRowCount(p.run, source, 5, 5));
  EXPECT_TRUE(CheckCopyRowCount(p.run, source, 2, 1));  // as many as generated
  p.run.SilentMode = true;                              // logged, and the run goes on
  EXPECT_FALSE(CheckCopyRowCount(p.run, source, 4, 3));
  EXPECT_NE(p.ErrorLog().find("Zantel_Config :Database-Error - Contact Administrator! Error in "
                              "Sourcedatabase (): Counted 4 recordsets while database claims to "
                              "have 3 recordsets!  (2 needed.\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace zc
