// The Jet 4 files tests write must read back exactly as written, through the
// program's importer and through the mdbtools commands alike.
#include "support/jet_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "presets/db/jet_import.h"
#include "presets/db/jet_test_support.h"
#include "support/preset_project.h"

namespace zc::testing {
namespace {

using jet::test_support::RunCommand;

// Every kind of value at its limits, Null beside "", an empty table, and rows
// enough for many pages.
std::vector<JetTable> Sample() {
  std::vector<Row> many;
  for (int i = 0; i < 300; ++i) {
    many.push_back(TemplateRow(i + 1, "M" + std::to_string(i % 5), "Var" + std::to_string(i), i,
                               i % 7 == 0 ? Null() : I(i % 3)));
  }
  return {
      {"Source_DEFS",
       {{"System", "TEXT(20)"}, {"Var_Name", "TEXT(255)"}, {"Part", "SHORT"}},
       {{T("VISIWIN32"), T("v32.###Var_Name"), I(1)},
        {T(""), Null(), Null()},
        {T("Gr\u00fc\u00dfe \u20ac \u00b0C"), T(std::string(255, 'x')), I(-32768)}}},
      {"Limits",
       {{"l", "LONG"}, {"i", "SHORT"}, {"d", "DOUBLE"}, {"b", "BIT"}},
       {{I(-2147483648LL), I(32767), D(0.1), B(true)},
        {I(2147483647), I(-1), D(-1.25e300), B(false)},
        {Null(), Null(), Null(), B(false)}}},
      {"Empty table", {{"t", "TEXT(1)"}}, {}},
      {"Muffin/Bread", PresetColumns(), many},
  };
}

class JetWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteJet4File(jet_, Sample()); }
  // The output of an mdbtools command run on the written file.
  std::string Run(const std::string& tool, const std::string& options,
                  const std::string& table = "") {
    std::string output;
    std::string command = tool + " " + options + " '" + jet_ + "'";
    EXPECT_EQ(RunCommand(command + (table.empty() ? "" : " '" + table + "'"), output), 0);
    return output;
  }
  TempDir dir_;
  std::string jet_ = dir_.path() + "/written.mdb";
};

TEST_F(JetWriterTest, TheImporterGetsBackEveryTableFieldAndValue) {
  const std::string converted = dir_.path() + "/converted.mdb";
  const std::string built = dir_.path() + "/built.mdb";
  const std::vector<JetTable> tables = Sample();
  std::vector<jet::ImportedTable> imported = jet::ConvertJetToSqlite(jet_, converted);
  BuildDatabase(built, tables);
  ASSERT_EQ(imported.size(), tables.size());
  for (std::size_t i = 0; i < imported.size(); ++i) {
    const JetTable& table = tables[i];
    EXPECT_EQ(imported[i].name, table.name);
    EXPECT_EQ(imported[i].rows, static_cast<std::int64_t>(table.rows.size()));
    EXPECT_EQ(ColumnsOf(converted, table.name), table.columns) << table.name;
    EXPECT_EQ(ReadTable(converted, table.name), table.rows) << table.name;
  }
  // Storage classes too: Null stays apart from "", Booleans are -1 and 0.
  EXPECT_EQ(DumpDatabase(converted), DumpDatabase(built));
}

TEST_F(JetWriterTest, MdbToolsListDescribeAndExportWhatWasWritten) {
  for (const char* tool : {ZC_MDB_EXPORT, ZC_MDB_TABLES, ZC_MDB_SCHEMA}) {
    if (std::string(tool).empty()) GTEST_SKIP() << "mdbtools are not installed";
  }
  EXPECT_EQ(Run(ZC_MDB_TABLES, "-1"), "Source_DEFS\nLimits\nEmpty table\nMuffin/Bread\n");
  const std::string schema = Run(ZC_MDB_SCHEMA, "");
  for (const char* field : {"[System]\t\t\tText (20)", "[Var_Name]\t\t\tText (255)",
                            "[Part]\t\t\tInteger", "[l]\t\t\tLong Integer", "[d]\t\t\tDouble",
                            "[b]\t\t\tBoolean NOT NULL", "[t]\t\t\tText (1)"}) {
    EXPECT_NE(schema.find(field), std::string::npos) << field << "\n" << schema;
  }
  // mdb-export shows Null and "" alike, and Booleans as 1 and 0.
  const std::pair<std::string, std::string> cases[] = {
      {"Source_DEFS", "VISIWIN32|v32.###Var_Name|1\n||\nGr\u00fc\u00dfe \u20ac \u00b0C|" +
                          std::string(255, 'x') + "|-32768\n"},
      {"Limits", "-2147483648|32767|0.1|1\n2147483647|-1|-1.25e+300|0\n|||0\n"},
      {"Empty table", ""},
  };
  for (const auto& [table, rows] : cases) {
    EXPECT_EQ(Run(ZC_MDB_EXPORT, "-H -Q -d '|'", table), rows) << table;
  }
  std::string many = Run(ZC_MDB_EXPORT, "-H -Q -d '|'", "Muffin/Bread");
  EXPECT_EQ(std::count(many.begin(), many.end(), '\n'), 300);
  EXPECT_EQ(many.substr(many.rfind('\n', many.size() - 2) + 1),
            "300|2|M4|type|Var299|1|0|299|text|page|1|2|3|4|0\n");
}

TEST(JetWriterRefusals, WhatAJet4FileCannotHoldFaithfullyIsRefused) {
  auto one = [](const std::string& type, db::Value value) {
    return std::vector<JetTable>{{"t", {{"f", type}}, {{std::move(value)}}}};
  };
  std::vector<JetTable> too_many(28, JetTable{"t", {{"f", "LONG"}}, {}});
  std::vector<std::pair<std::string, std::string>> wide(20, {"f", "TEXT(255)"});
  const std::pair<const char*, std::vector<JetTable>> cases[] = {
      {"a type it does not write", one("CURRENCY", D(1))},
      {"a text field too long", one("TEXT(256)", T("x"))},
      {"a text field of no length", one("TEXT(0)", Null())},
      {"a text longer than its field", one("TEXT(3)", T("abcd"))},
      {"a Null Boolean", one("BIT", Null())},
      {"an Integer out of range", one("SHORT", I(32768))},
      {"a Long out of range", one("LONG", I(-2147483649LL))},
      {"a fraction in a Long", one("LONG", D(1.5))},
      {"text in a Double", one("DOUBLE", T("1"))},
      {"a character beyond U+FFFF", one("TEXT(9)", T("\U0001D11E"))},
      {"a leading U+FEFF, the mark of compressed text", one("TEXT(9)", T("\uFEFFx"))},
      {"malformed UTF-8", one("TEXT(9)", T("\xff"))},
      {"a row short of a value", {{"t", {{"a", "LONG"}, {"b", "LONG"}}, {{I(1)}}}}},
      {"a row longer than a page", {{"t", wide, {Row(20, T(std::string(255, 'x')))}}}},
      {"more tables than one map page serves", too_many},
  };
  TempDir dir;
  for (const auto& [what, tables] : cases) {
    EXPECT_THROW(WriteJet4File(dir.path() + "/refused.mdb", tables), std::invalid_argument) << what;
  }
}

}  // namespace
}  // namespace zc::testing
