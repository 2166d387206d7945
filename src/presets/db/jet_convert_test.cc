#include <gtest/gtest.h>

#include <charconv>
#include <cmath>

#include "presets/db/jet_import.h"
#include "jet/reader.h"
#include "presets/db/jet_test_support.h"

namespace zc::jet {
namespace {

using namespace test_support;

class ConvertedTypes : public ::testing::Test {
 protected:
  void SetUp() override { ConvertJetToSqlite(Fixture("jet4_types.mdb"), path_); }
  TempDir dir_;
  std::string path_ = dir_.path() + "/types.mdb";
};

TEST_F(ConvertedTypes, EveryValueExactlyAndNullApartFromEmpty) {
  std::string memo;
  for (int i = 0; i < 5000; ++i) memo += "0123456789";
  using I = std::int64_t;
  const std::pair<std::string, Rows> cases[] = {
      {"AllTypes",
       {{I{-1}, I{255}, I{-32768}, I{-2147483648LL}, 922337203685477.5807,
         static_cast<double>(3.4028235e38f), 0.30000000000000004, "2024-02-29 13:45:59", "x", memo,
         -12345678901234.5678, "{6B29FC40-CA47-1067-B31D-00DD010662DA}"},
        {I{0}, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "1850-01-01 06:00:00", "", "",
         nullptr, nullptr},
        // SQLite keeps whole reals as integers, and no negative zero.
        {I{0}, I{0}, I{0}, I{0}, I{0}, I{0}, 0.0, "9999-12-31 23:59:59", nullptr, nullptr, I{0},
         nullptr}}},
      {"Source_DEFS",
       {{"SYS_A", "Var1", I{1}},
        {"SYS_B", "", nullptr},
        {nullptr, "Gr\u00fc\u00dfe \u20ac", I{3}}}},
      {"Source_PRESET_DEFS",
       {{I{1}, "M1", I{2}, "Var1", I{10}, I{-1}, I{3}, "Speed", "Main", -1e9, 1e9,
         static_cast<double>(0.1f), 99.5, I{1}, "A"},
        {I{2}, "M1", I{1}, "Var2", nullptr, I{0}, nullptr, nullptr, nullptr, 0.1, nullptr, nullptr,
         nullptr, nullptr, nullptr}}},
  };
  for (const auto& [table, rows] : cases) {
    EXPECT_EQ(Query(path_, "SELECT * FROM " + table + " ORDER BY rowid"), rows) << table;
  }
}

TEST_F(ConvertedTypes, FieldsKeepTheirDeclaredTypesAndNothingElse) {
  const std::pair<std::string, Pairs> cases[] = {
      {"AllTypes",
       {{"b", "BIT"},
        {"y", "BYTE"},
        {"i", "SHORT"},
        {"l", "LONG"},
        {"cur", "CURRENCY"},
        {"f", "SINGLE"},
        {"d", "DOUBLE"},
        {"dt", "DATETIME"},
        {"t", "TEXT(255)"},
        {"m", "LONGTEXT"},
        {"n", "DECIMAL(18,4)"},
        {"g", "GUID"}}},
      {"Source_PRESET_DEFS",
       {{"ID", "COUNTER"},
        {"machine_type", "TEXT(50)"},
        {"type", "SHORT"},
        {"var_name", "TEXT(100)"},
        {"category_id", "LONG"},
        {"isBitArray", "BIT"},
        {"offset_or_bitno", "SHORT"},
        {"text", "TEXT(255)"},
        {"page_name", "TEXT(50)"},
        {"abs_min", "DOUBLE"},
        {"abs_max", "DOUBLE"},
        {"min", "SINGLE"},
        {"max", "SINGLE"},
        {"pass", "BYTE"},
        {"part", "TEXT(20)"}}},
  };
  for (const auto& [table, fields] : cases) EXPECT_EQ(Fields(path_, table), fields) << table;
  EXPECT_EQ(Query(path_, "SELECT type, sql FROM sqlite_master WHERE name = 'Source_DEFS'"),
            (Rows{{"table", R"(CREATE TABLE "Source_DEFS" ("System" TEXT(50), )"
                            R"("Var_Name" TEXT(100), "Part" LONG))"}}));
}

// The reader keeps the sign of a negative zero, which SQLite then drops.
TEST(JetReaderTest, ValuesKeepTheirStoredBits) {
  Reader reader(Fixture("jet4_types.mdb"));
  ASSERT_EQ(reader.tables().at(2).name, "AllTypes");
  std::vector<Value> doubles;
  reader.ReadRows(2, [&](const std::vector<Value>& row) { doubles.push_back(row[6]); });
  ASSERT_EQ(doubles.size(), 3u);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(doubles[1]));
  EXPECT_TRUE(std::signbit(std::get<double>(doubles[2])));
}

TEST(JetConvertTest, EveryTableWithItsRowCount) {
  const std::pair<std::string, Pairs> cases[] = {
      {"jet3_sample.mdb", {{"Table1", "2"}, {"Table2", "0"}, {"Table3", "0"}, {"Table4", "0"}}},
      {"jet4_numeric.mdb", {{"test", "1"}}},
      {"jet4_fruit.mdb",
       {{"Fruit", "37"},
        {"Fruit Salad", "18"},
        {"Veggie Salad", "4"},
        {"Muffin/Bread", "13"},
        {"Dried", "12"}}},
      {"jet4_types.mdb", {{"Source_DEFS", "3"}, {"Source_PRESET_DEFS", "2"}, {"AllTypes", "3"}}},
  };
  for (const auto& [file, tables] : cases) {
    TempDir dir;
    Pairs reported;
    for (const auto& table : ConvertJetToSqlite(Fixture(file), dir.path() + "/out.mdb")) {
      reported.emplace_back(table.name, std::to_string(table.rows));
    }
    EXPECT_EQ(reported, tables) << file;
    EXPECT_EQ(TablesWithRowCounts(dir.path() + "/out.mdb"), tables) << file;
    EXPECT_EQ(FolderContents(dir.path()), std::set<std::string>{"out.mdb"}) << file;
  }
}

// mdb-export shows Null and "" alike, Booleans as 1 / 0, a Single to 8 and a
// Double to 16 digits; everything else must match exactly.
void ExpectSameAsExported(const Expected& value, const std::string& type,
                          const std::string& exported, const std::string& where) {
  double number = 0;
  std::from_chars(exported.data(), exported.data() + exported.size(), number);
  if (std::holds_alternative<std::nullptr_t>(value)) {
    EXPECT_EQ(exported, "") << where;
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    EXPECT_EQ(*text, exported) << where;
  } else if (type == "BIT") {
    EXPECT_EQ(std::get<std::int64_t>(value) != 0 ? "1" : "0", exported) << where;
  } else {
    double ours = std::holds_alternative<double>(value)
                      ? std::get<double>(value)
                      : static_cast<double>(std::get<std::int64_t>(value));
    if (type == "SINGLE") {
      EXPECT_EQ(static_cast<float>(ours), static_cast<float>(number)) << where;
    } else if (type == "DOUBLE") {
      EXPECT_NEAR(ours, number, std::fabs(ours) * 1e-15) << where;
    } else {
      EXPECT_EQ(ours, number) << where;
    }
  }
}

TEST(JetConvertTest, ValuesMatchMdbExport) {
  if (std::string(ZC_MDB_EXPORT).empty()) GTEST_SKIP() << "mdb-export is not installed";
  for (const char* fixture : {"jet3_sample.mdb", "jet4_numeric.mdb", "jet4_fruit.mdb"}) {
    TempDir dir;
    const std::string path = dir.path() + "/out.mdb";
    ConvertJetToSqlite(Fixture(fixture), path);
    for (const auto& [table, count] : TablesWithRowCounts(path)) {
      std::string exported;
      RunCommand(std::string(ZC_MDB_EXPORT) +
                     " -H -Q -d '\x1f' -R '\x1e' -T '%Y-%m-%d %H:%M:%S' '" + Fixture(fixture) +
                     "' '" + table + "'",
                 exported);
      Pairs fields = Fields(path, table);
      Rows rows = Query(path, "SELECT * FROM " + Quoted(table) + " ORDER BY rowid");
      std::vector<std::string> lines = Split(exported, '\x1e');
      ASSERT_EQ(lines.size(), rows.size() + 1) << table;  // the last one ends the output
      for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::string> cells = Split(lines[r], '\x1f');
        ASSERT_EQ(cells.size(), fields.size()) << table;
        for (std::size_t c = 0; c < cells.size(); ++c) {
          ExpectSameAsExported(rows[r][c], fields[c].second, cells[c],
                               table + " row " + std::to_string(r) + " " + fields[c].first);
        }
      }
    }
  }
}

}  // namespace
}  // namespace zc::jet
