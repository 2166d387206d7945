#include "presets/generation.h"

#include <gtest/gtest.h>

#include "support/preset_project.h"

namespace zc {
namespace {

using platform::Answer;
using testing::B;
using testing::D;
using testing::I;
using testing::Null;
using testing::PresetProject;
using testing::Row;
using testing::T;
using testing::TemplateRow;

// Field positions of the test template.
enum { kId, kPart, kMachine, kType, kVarName, kCategory, kIsBit, kOffset, kText };

class GenerationTest : public ::testing::Test {
 protected:
  void Build(const std::vector<Row>& template_rows) {
    p.BuildSource(testing::PresetColumns(), template_rows, {});
  }
  std::vector<Row> Generate() {
    db::Database db = p.run.engine.OpenDatabase(p.SourcePath());
    CreateRecordSets(p.run, db);
    p.SaveAll();
    return p.Generated();
  }
  static std::vector<std::string> Column(const std::vector<Row>& rows, int field) {
    std::vector<std::string> values;
    for (const Row& row : rows) values.push_back(row[field].ToText());
    return values;
  }
  PresetProject p;
};

TEST_F(GenerationTest, OneCopyPerMachineNumberedMachineByMachine) {
  p.WriteCfg("ForMachine1=true\r\nForMachine2=false\r\nForMachine3=TRUE\r\n");
  p.SetMachines({"M1", "M2", "M3"});
  p.SetPattern(kVisiWin32, 1, "###Var_Name");
  Build({TemplateRow(30, "###machine", "c", 3, I(1)), TemplateRow(10, "###machine", "a", 1, I(1)),
         TemplateRow(20, "###machine", "b", 2, I(1))});
  std::vector<Row> rows = Generate();
  EXPECT_EQ(Column(rows, kId), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(Column(rows, kMachine), (std::vector<std::string>{"M1", "M1", "M1", "M3", "M3", "M3"}));
  EXPECT_EQ(Column(rows, kVarName), (std::vector<std::string>{"a", "b", "c", "a", "b", "c"}));
  ASSERT_FALSE(p.ui.progress.empty());
  EXPECT_EQ(p.ui.progress.back(), (std::pair<std::int64_t, std::int64_t>{9, 9}));
}

TEST_F(GenerationTest, IntegratedRunsIncludeMachinesByTheValidMachinesText) {
  struct Case {
    const char* valid;
    std::vector<std::string> machines;
    std::vector<std::string> included;
  } cases[] = {
      {"ALL", {"M1", "M2"}, {"M1", "M2"}},
      {"aLl", {"M1", "M2"}, {"M1", "M2"}},
      {"M10", {"M1", "M2"}, {"M1"}},  // a substring test, not a list
      {"m2,m3", {"M1", "M2", "M3"}, {"M2", "M3"}},
      {"X", {"", "M1"}, {""}},  // an empty name is found in any text
      {"", {"", "M1"}, {}},
  };
  for (const Case& c : cases) {
    PresetProject integrated("/EXTERNAL=R7QCFG");
    integrated.run.IntegratedMode = true;
    integrated.WriteCfg(std::string("ValidMachines=") + c.valid + "\r\n");
    integrated.SetMachines(c.machines);
    integrated.BuildSource(testing::PresetColumns(), {TemplateRow(1, "###machine", "v", 0, I(1))},
                           {});
    db::Database db = integrated.run.engine.OpenDatabase(integrated.SourcePath());
    CreateRecordSets(integrated.run, db);
    integrated.SaveAll();
    EXPECT_EQ(Column(integrated.Generated(), kMachine), c.included) << c.valid;
  }
}

TEST_F(GenerationTest, TextValuesGetTheirFirstMachinePlaceholderResolved) {
  p.WriteCfg("ForMachine1=true\r\n");
  p.SetMachines({"M2"});
  Row row = TemplateRow(1, "###machine and ###machine", "v", 0, I(1));
  row[kText] = T("on ###MACHINE");
  row[kType] = D(2.5);
  row[kCategory] = Null();
  row[kIsBit] = B(true);
  Build({row});
  Row generated = Generate().at(0);
  EXPECT_EQ(generated[kMachine], T("M2 and ###machine"));
  EXPECT_EQ(generated[kText], T("on M2"));
  EXPECT_EQ(generated[kType], T("2.5"));  // a number written into a text field
  EXPECT_TRUE(generated[kCategory].IsNull());
  EXPECT_EQ(generated[kIsBit], B(true));
  EXPECT_EQ(generated[kOffset], I(0));
}

TEST_F(GenerationTest, VariableNamesFollowThePatternOfTheirPart) {
  struct Case {
    const char* pattern;
    std::int16_t system;
    const char* name;
  } cases[] = {
      {"###Var_Name", kVisiWin32, "Temp_M2"},
      {"###machine.###Var_Name", kVisiWin32, "M2.Temp_M2"},
      {"###machine.###machine.###Var_Name", kVisiWin32, "M2.M2.Temp_###machine"},
      {"", kVisiWin32, ""},
      {"###machine.###Var_Name", kVisiWinStudio, "studio:Temp_M2"},
  };
  for (const Case& c : cases) {
    PresetProject q;
    q.WriteCfg("ForMachine1=true\r\n");
    q.SetMachines({"M2"});
    q.SetPattern(kVisiWin32, 7, c.pattern);
    q.SetPattern(kVisiWinStudio, 7, "studio:###Var_Name");
    q.run.VWStudioIndex = c.system;
    q.BuildSource(testing::PresetColumns(), {TemplateRow(1, "m", "Temp_###machine", 0, I(7))}, {});
    db::Database db = q.run.engine.OpenDatabase(q.SourcePath());
    CreateRecordSets(q.run, db);
    q.SaveAll();
    EXPECT_EQ(q.Generated().at(0)[kVarName], T(c.name)) << c.pattern;
  }
}

TEST_F(GenerationTest, ABadPartIsReportedOnceAndTheRowIsStillStored) {
  for (db::Value part : {I(0), I(51), Null()}) {
    PresetProject q;
    q.WriteCfg("ForMachine1=true\r\n");
    q.SetMachines({"M1"});
    q.BuildSource(testing::PresetColumns(), {TemplateRow(1, "###machine", "v", 5, part)}, {});
    q.ui.Script({Answer::kYes});
    db::Database db = q.run.engine.OpenDatabase(q.SourcePath());
    CreateRecordSets(q.run, db);
    q.SaveAll();
    EXPECT_EQ(q.ui.shown.size(), 1u) << part.ToText();
    EXPECT_NE(q.ErrorLog().find("/ CreateRecordSets (Nr. "), std::string::npos);
    std::vector<Row> rows = q.Generated();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][kMachine], T("M1"));
    EXPECT_EQ(rows[0][kOffset], I(5));
  }
  EXPECT_EQ(testing::FailureNumber([] { PartNumber(T("nan")); }), 9);
}

TEST_F(GenerationTest, NothingIsGeneratedWithoutTemplateOrIncludedMachine) {
  p.WriteCfg("ForMachine1=false\r\n");
  p.SetMachines({"M1"});
  Build({TemplateRow(1, "###machine", "v", 0, I(1))});
  EXPECT_TRUE(Generate().empty());
  p.WriteCfg("ForMachine1=true\r\n");
  Build({});
  EXPECT_TRUE(Generate().empty());
  EXPECT_TRUE(p.ui.shown.empty());
}

TEST_F(GenerationTest, AMachineListNeverFilledIsReported) {
  p.WriteCfg("");
  Build({TemplateRow(1, "###machine", "v", 0, I(1))});
  p.ui.Script({Answer::kYes});
  EXPECT_TRUE(Generate().empty());
  EXPECT_NE(p.ErrorLog().find("CreateRecordSets (Nr. 9) :Subscript out of range"),
            std::string::npos);
}

}  // namespace
}  // namespace zc
