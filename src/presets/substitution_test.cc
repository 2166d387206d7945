#include "presets/substitution.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/preset_project.h"

namespace zc {
namespace {

using platform::Answer;
using testing::I;
using testing::Null;
using testing::PresetProject;
using testing::Row;
using testing::T;

TEST(ReplaceSearchItemTest, Table) {
  PresetProject p;
  struct Case {
    const char* text;
    const char* search;
    const char* replacement;
    const char* result;
  } cases[] = {
      {"###Machine_1", "###machine", "M5", "M5_1"},
      {"a###MACHINE.###machine", "###machine", "M5", "aM5.###machine"},
      {"no placeholder", "###machine", "M5", "no placeholder"},
      {"", "###machine", "M5", ""},
      {"Ä###machineÖ", "###MACHINE", "m", "ÄmÖ"},
      {"x###Var_Name", "###Var_Name", "###machine", "x###machine"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReplaceSearchItem(p.run, c.text, c.search, c.replacement), c.result) << c.text;
  }
}

class ConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p.WriteCfg("");
    p.BuildComponent(
        {{"ID", "LONG"}, {"var_name", "TEXT(50)"}},
        {{I(1), T("A")}, {I(2), T("b")}, {I(3), T("B")}, {I(4), T("Q\"x")}, {I(5), Null()}});
  }
  std::vector<std::string> Names() {
    p.SaveAll();
    std::vector<std::string> names;
    for (const Row& row : p.Component())
      names.push_back(row[1].IsNull() ? "<null>" : row[1].AsText());
    return names;
  }
  PresetProject p;
};

TEST_F(ConversionTest, ConvertsTheOtherSystemsFormToTheRunsForm) {
  struct Case {
    std::int16_t system;
    const char* visiwin32;
    const char* studio;
    std::vector<std::string> names;
  } cases[] = {
      {kVisiWin32, "A", "B", {"A", "A", "A", "Q\"x", "<null>"}},  // B and b become A
      {kVisiWinStudio, "A", "B", {"B", "b", "B", "Q\"x", "<null>"}},
      {kVisiWin32, "same", "A", {"same", "b", "B", "Q\"x", "<null>"}},
      {kVisiWin32, "A", "A", {"A", "b", "B", "Q\"x", "<null>"}},
      {kVisiWin32, "quoted", "q\"X", {"A", "b", "B", "quoted", "<null>"}},
  };
  for (const Case& c : cases) {
    SetUp();
    p.run.VWStudioIndex = c.system;
    VarNameInQuelleErsetzen(p.run, c.visiwin32, c.studio);
    EXPECT_EQ(Names(), c.names) << c.visiwin32 << " / " << c.studio;
  }
  EXPECT_TRUE(p.ui.shown.empty());
}

TEST_F(ConversionTest, CallsSeeTheEffectOfTheCallsBefore) {
  p.run.VWStudioIndex = kVisiWin32;
  VarNameInQuelleErsetzen(p.run, "C", "B");  // B -> C
  VarNameInQuelleErsetzen(p.run, "D", "C");  // C -> D, including the rows just renamed
  EXPECT_EQ(Names(), (std::vector<std::string>{"A", "D", "D", "Q\"x", "<null>"}));
}

TEST_F(ConversionTest, AMissingComponentDatabaseIsNoFailure) {
  std::filesystem::remove(p.ComponentPath());
  VarNameInQuelleErsetzen(p.run, "A", "B");
  CategorieNachCategoryID(p.run);
  EXPECT_TRUE(p.ui.shown.empty());
  EXPECT_FALSE(std::filesystem::exists(p.ComponentPath()));
}

TEST(CategoryTest, RenamesTheOlderLayoutsFieldKeepingItsData) {
  for (const char* old_name : {"Categorie", "CATEGORIE", "categorie"}) {
    PresetProject p;
    p.WriteCfg("");
    p.BuildComponent({{"ID", "LONG"}, {old_name, "LONG"}}, {{I(1), I(42)}});
    CategorieNachCategoryID(p.run);
    p.SaveAll();
    EXPECT_EQ(testing::ColumnsOf(p.ComponentPath(), "PRESET_DEFS")[1].first, "category_id");
    EXPECT_EQ(p.Component(), (std::vector<Row>{{I(1), I(42)}})) << old_name;
  }
}

TEST(CategoryTest, ACurrentLayoutStaysAsItIs) {
  PresetProject p;
  p.WriteCfg("");
  p.BuildComponent({{"ID", "LONG"}, {"category_id", "LONG"}}, {{I(1), I(42)}});
  CategorieNachCategoryID(p.run);
  p.SaveAll();
  EXPECT_EQ(testing::ColumnsOf(p.ComponentPath(), "PRESET_DEFS")[1].first, "category_id");
  EXPECT_TRUE(p.ui.shown.empty());
}

TEST(CategoryTest, AComponentDatabaseWithoutPresetTableIsReportedOnce) {
  PresetProject p;
  p.WriteCfg("");
  testing::BuildDatabase(p.ComponentPath(), {{"Other", {{"x", "LONG"}}, {}}});
  p.ui.Script({Answer::kYes});
  CategorieNachCategoryID(p.run);
  EXPECT_EQ(p.ui.shown.size(), 1u);
  EXPECT_NE(p.ErrorLog().find("/ DAO.TableDefs / CategorieNachCategoryID (Nr. 3265)"),
            std::string::npos);
}

}  // namespace
}  // namespace zc
