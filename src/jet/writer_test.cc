// Tables written into real Access files and read back by two independent
// readers, libmdb (mdb-export, mdb-schema) and the npm package mdb-reader,
// as well as our own; and every page of the file still accounted for.
#include "jet/writer.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>

#include "jet/reader.h"
#include "presets/db/jet_test_support.h"
#include "support/jet_page_check.h"

namespace zc::jet {
namespace {

using namespace test_support;
using I = std::int64_t;

struct Column {
  Field field;
  const char* schema;  // as mdb-schema describes it
};

std::vector<Column> Columns(bool jet4) {
  std::vector<Column> columns = {
      {{"ID", FieldType::kCounter, 4}, "Long Integer"},
      {{"machine_type", FieldType::kText, 50}, "Text (50)"},
      {{"type", FieldType::kInteger, 2}, "Integer"},
      {{"isBitArray", FieldType::kBoolean, 1}, "Boolean NOT NULL"},
      {{"abs_min", FieldType::kDouble, 8}, "Double"},
      {{"min", FieldType::kSingle, 4}, "Single"},
      {{"pass", FieldType::kByte, 1}, "Byte"},
      {{"cost", FieldType::kCurrency, 8}, "Currency"},
      {{"changed", FieldType::kDate, 8}, "DateTime"},
      {{"text", FieldType::kMemo, 0}, "Memo/Hyperlink (255)"},
      {{"guid", FieldType::kGuid, 16}, "Replication ID"},
      {{"picture", FieldType::kLongBinary, 0}, "OLE (255)"},
  };
  if (jet4) columns.push_back({{"amount", FieldType::kDecimal, 17, 18, 4}, "Numeric (18, 4)"});
  return columns;
}

// Rows that reach every way a value is stored: Null beside "", short memos in
// the row, longer ones on a page of their own or over several, text that
// compresses and text that does not, dates before 1900; then plain rows to
// fill several pages.
std::vector<std::vector<Value>> Rows(bool jet4, int plain) {
  const std::string guid = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
  std::vector<std::vector<Value>> rows = {
      {I{1}, "M1", I{-32768}, I{-1}, 0.1, 1.5, I{255}, 922337203685477.0, "2024-02-29 13:45:59",
       "short", guid, Blob{1, 2, 3}, -12345.6789},
      {I{2}, "", {}, I{0}, {}, {}, {}, {}, "1850-01-01 00:00:00", "", {}, {}, {}},
      {I{3}, "Gr\u00fc\u00dfe \u20ac", I{7}, I{0}, -1e9, -0.5, I{0}, -0.0001,
       "9999-12-31 23:59:59", std::string(3000, 'x'), guid, Blob(9000, 0xAB), 0.0},
      {I{4}, {}, I{1}, I{-1}, 2.5, 3.25, I{1}, 12.3456, "1899-12-30 00:00:00",
       std::string(5000, 'a') + "\u20ac" + std::string(4000, 'b'), {}, Blob(70, 7), 1.0},
  };
  for (int i = 0; i < plain; ++i) {
    rows.push_back({I{10 + i}, "M" + std::to_string(i % 7), I{i % 100}, I{i % 2 ? -1 : 0}, i * 0.5,
                    1.0, I{i % 256}, 1.25, "2024-01-01 00:00:00", "row " + std::to_string(i), {},
                    {}, 2.0});
  }
  if (!jet4) {
    for (auto& row : rows) row.pop_back();
  }
  return rows;
}

bool IsNumeric(FieldType type) {
  return type != FieldType::kText && type != FieldType::kMemo && type != FieldType::kDate &&
         type != FieldType::kGuid && type != FieldType::kLongBinary;
}

double Number(const Value& value) {
  if (const auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
  return std::get<double>(value);
}

// What a reader printed for `value`, compared by meaning: numbers as numbers
// (a Single to its precision), GUIDs without regard to case and braces,
// binary data as hex. `null_as` is what the reader prints for Null.
void ExpectCell(const Field& field, const Value& value, const std::string& printed,
                const std::string& null_as, const std::string& where) {
  if (std::holds_alternative<std::monostate>(value)) {
    EXPECT_EQ(printed, null_as) << where;
  } else if (field.type == FieldType::kBoolean) {
    EXPECT_EQ(printed, Number(value) != 0 ? "1" : "0") << where;
  } else if (IsNumeric(field.type)) {
    double read = 0;
    std::from_chars(printed.data(), printed.data() + printed.size(), read);
    if (field.type == FieldType::kSingle) {
      EXPECT_EQ(static_cast<float>(read), static_cast<float>(Number(value))) << where;
    } else {
      EXPECT_NEAR(read, Number(value), std::fabs(Number(value)) * 1e-15) << where << ": " << printed;
    }
  } else if (const auto* blob = std::get_if<Blob>(&value)) {
    std::string hex;
    for (std::uint8_t byte : *blob) hex += "0123456789abcdef"[byte >> 4], hex += "0123456789abcdef"[byte & 15];
    EXPECT_EQ(printed, hex) << where;
  } else if (field.type == FieldType::kGuid) {
    std::string plain;
    for (char c : std::get<std::string>(value)) {
      if (c != '{' && c != '}') plain += static_cast<char>(std::tolower(c));
    }
    EXPECT_EQ(printed, plain) << where;
  } else {
    EXPECT_EQ(printed, std::get<std::string>(value)) << where;
  }
}

void ExpectTable(const std::string& output, char separator, const std::vector<Column>& columns,
                 const std::vector<std::vector<Value>>& rows, const std::string& null_as,
                 bool (*checked)(const Field&), const std::string& reader) {
  std::vector<std::string> lines = Split(output, '\n');
  lines.pop_back();  // after the last line ends
  ASSERT_EQ(lines.size(), rows.size()) << reader;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const std::vector<std::string> cells = Split(lines[r], separator);
    ASSERT_EQ(cells.size(), columns.size()) << reader;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (!checked(columns[c].field)) continue;
      ExpectCell(columns[c].field, rows[r][c], cells[c], null_as,
                 reader + " row " + std::to_string(r) + " " + columns[c].field.name);
    }
  }
}

// libmdb shows Null and "" alike, and GUIDs, decimals, binary data and dates
// before 1900 in forms of its own: those the other readers check.
bool MdbExportShows(const Field& field) {
  return field.type != FieldType::kGuid && field.type != FieldType::kDecimal &&
         field.type != FieldType::kLongBinary && field.type != FieldType::kDate;
}
bool AllShown(const Field&) { return true; }

std::string Export(const std::string& path, const std::string& table) {
  std::string output;
  EXPECT_EQ(RunCommand(std::string(ZC_MDB_EXPORT) + " -H -Q -d '\x1f' '" + path + "' '" + table + "'", output), 0);
  return output;
}

// Every other table as libmdb exports it.
std::map<std::string, std::string> ExportOthers(const std::string& path) {
  std::string tables;
  RunCommand(std::string(ZC_MDB_TABLES) + " -1 '" + path + "'", tables);
  std::map<std::string, std::string> exported;
  for (const std::string& table : Split(tables, '\n')) {
    if (!table.empty() && table != "PRESET_DEFS") exported[table] = Export(path, table);
  }
  return exported;
}

void ExpectReadBack(const std::string& path, const std::vector<Column>& columns,
                    const std::vector<std::vector<Value>>& rows) {
  std::string schema;
  RunCommand(std::string(ZC_MDB_SCHEMA) + " '" + path + "' access -T PRESET_DEFS", schema);
  for (const Column& column : columns) {
    EXPECT_NE(schema.find("[" + column.field.name + "]\t\t\t" + column.schema),
              std::string::npos) << column.schema << "\n" << schema;
  }
  std::string output = Export(path, "PRESET_DEFS");
  ExpectTable(output, '\x1f', columns, rows, "", MdbExportShows, "mdb-export");
  std::string node;
  ASSERT_EQ(RunCommand("node " ZC_MDB_READER_SCRIPT " " ZC_NPM_PREFIX " '" + path + "' PRESET_DEFS", node), 0) << node;
  ExpectTable(node, '\x1f', columns, rows, "<null>", AllShown, "mdb-reader");
  Reader ours(path);
  std::vector<std::vector<Value>> read;
  for (std::size_t t = 0; t < ours.tables().size(); ++t) {
    if (ours.tables()[t].name != "PRESET_DEFS") continue;
    ours.ReadRows(t, [&](const std::vector<Value>& row) { read.push_back(row); });
  }
  EXPECT_EQ(read.size(), rows.size());
}

TEST(JetWriteBackTest, TablesWrittenIntoAccessFilesReadBackEverywhere) {
  for (const char* fixture : {"jet3_sample.mdb", "jet4_types.mdb", "jet4_fruit.mdb", "jet4_numeric.mdb"}) {
    SCOPED_TRACE(fixture);
    TempDir dir;
    const std::string path = dir.path() + "/work.mdb";
    std::filesystem::copy_file(Fixture(fixture), path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    const bool jet4 = std::string(fixture).find("jet4") == 0;
    const auto others = ExportOthers(path);
    const std::vector<std::string> problems = zc::testing::PageMapProblems(path);
    std::vector<Field> fields;
    for (const Column& column : Columns(jet4)) fields.push_back(column.field);
    std::uintmax_t first_size = 0;
    // Added first, then replaced by more rows and again by fewer.
    for (int plain : {300, 1000, 300}) {
      const auto rows = Rows(jet4, plain);
      std::size_t next = 0;
      ReplaceTable(path, "PRESET_DEFS", fields, [&](std::vector<Value>& row) {
        if (next == rows.size()) return false;
        row = rows[next++];
        return true;
      });
      ExpectReadBack(path, Columns(jet4), rows);
      EXPECT_EQ(ExportOthers(path), others);
      EXPECT_EQ(zc::testing::PageMapProblems(path), problems);
      if (first_size == 0) first_size = std::filesystem::file_size(path);
    }
    // The pages of a table that grew and shrank again are not lost.
    EXPECT_EQ(std::filesystem::file_size(path), first_size);
  }
}

}  // namespace
}  // namespace zc::jet
