// Access files read by two readers that are not ours, libmdb (mdb-export) and
// the npm package mdb-reader: the sample files as our reader reads them, and
// the tables our writer writes into them. Every value, and every field with
// its type and size, must read the same; and every page of a written file
// stays accounted for.
#include "jet/writer.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "jet/data_page.h"
#include "jet/format.h"
#include "jet/reader.h"
#include "jet/usage_map.h"
#include "support/db_builder.h"
#include "support/temp_project.h"

namespace zc::jet {
namespace {

using testing::Fixture;
using testing::RunCommand;
using I = std::int64_t;
using Rows = std::vector<std::vector<Value>>;

struct Contents {
  std::vector<Field> fields;
  Rows rows;
};
using Tables = std::map<std::string, Contents>;

Tables ReadOurs(const std::string& path) {
  Reader reader(path);
  Tables tables;
  for (std::size_t t = 0; t < reader.tables().size(); ++t) {
    Contents& table = tables[reader.tables()[t].name];
    table.fields = reader.tables()[t].fields;
    reader.ReadRows(t, [&](const std::vector<Value>& row) { table.rows.push_back(row); });
  }
  return tables;
}

// The pieces of `text` that each end with `end`.
std::vector<std::string> Ended(const std::string& text, char end) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, end);) parts.push_back(part);
  return parts;
}

// A field as mdb-reader describes it: Jet 4 sizes text in bytes.
std::string Described(const Field& f, bool jet4) {
  static const char* const kNames[] = {"boolean",  "byte",  "integer", "long",     "long",
                                       "currency", "float", "double",  "datetime", "text",
                                       "binary",   "ole",   "memo",    "repid",    "numeric"};
  int size =
      f.type == DataType::kBoolean ? 0 : f.size * (f.type == DataType::kText && jet4 ? 2 : 1);
  std::string text = f.name + " " + kNames[static_cast<int>(f.type)] + " " + std::to_string(size);
  if (f.type == DataType::kDecimal)
    text += " " + std::to_string(f.precision) + "," + std::to_string(f.scale);
  return f.type == DataType::kCounter ? text + " auto" : text;
}

double Number(const Value& value) {
  if (const auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
  return std::get<double>(value);
}

// What a reader printed for `value`, compared by meaning: numbers as numbers
// (a Single to its precision, others to the 16 digits libmdb prints), binary
// data as hex. libmdb shows Null and "" alike, and GUIDs, binary data and
// dates in forms of its own; mdb-reader counts the time of a day before
// 1899-12-30 back from midnight. Those cells the other reader checks.
void ExpectCell(const Field& field, const Value& value, const std::string& printed, bool libmdb) {
  const auto* text = std::get_if<std::string>(&value);
  if (field.type == DataType::kDate &&
      (libmdb || (*text < "1899-12-30" && !text->ends_with(" 00:00:00"))))
    return;
  if (libmdb && (field.type == DataType::kGuid || field.type == DataType::kLongBinary)) return;
  if (std::holds_alternative<std::monostate>(value)) {
    EXPECT_EQ(printed, libmdb ? "" : "<null>");
  } else if (field.type == DataType::kBoolean) {
    EXPECT_EQ(printed, Number(value) != 0 ? "1" : "0");
  } else if (const auto* blob = std::get_if<Blob>(&value)) {
    std::string hex;
    for (std::uint8_t byte : *blob)
      hex += "0123456789abcdef"[byte >> 4], hex += "0123456789abcdef"[byte & 15];
    EXPECT_EQ(printed, hex);
  } else if (text) {
    EXPECT_EQ(printed, *text);
  } else {
    double read = 0;
    std::from_chars(printed.data(), printed.data() + printed.size(), read);
    if (field.type == DataType::kSingle) {
      EXPECT_EQ(static_cast<float>(read), static_cast<float>(Number(value))) << printed;
    } else {
      EXPECT_NEAR(read, Number(value), std::fabs(Number(value)) * 1e-15) << printed;
    }
  }
}

// libmdb, slow to start, reads only the tables `libmdb_only` names, if any.
void ExpectReadersSee(const std::string& path, const Tables& expected,
                      const std::set<std::string>& libmdb_only = {}) {
  const bool jet4 = KindOfFile(path) == FileKind::kJet4;
  std::string dump;
  ASSERT_EQ(RunCommand("node " ZC_MDB_READER_SCRIPT " " ZC_NPM_PREFIX " '" + path + "'", dump), 0)
      << dump;
  std::map<std::string, std::vector<std::vector<std::string>>> read;  // lines of cells
  for (const std::string& table : Ended(dump, '\x1d')) {
    std::vector<std::vector<std::string>> lines;
    for (const std::string& line : Ended(table, '\x1e')) lines.push_back(Ended(line, '\x1f'));
    read[lines.at(0).at(0)] = lines;
  }
  EXPECT_EQ(read.size(), expected.size());
  for (const auto& [name, table] : expected) {
    SCOPED_TRACE(name);
    const std::vector<std::vector<std::string>>& lines = read[name];
    ASSERT_EQ(lines.size(), table.rows.size() + 2);
    std::vector<std::string> fields;
    for (const Field& field : table.fields) fields.push_back(Described(field, jet4));
    EXPECT_EQ(lines[1], fields);
    const bool by_libmdb = libmdb_only.empty() || libmdb_only.count(name);
    std::string exported;
    if (by_libmdb) {
      EXPECT_EQ(RunCommand(std::string(ZC_MDB_EXPORT) + " -H -Q -d '\x1f' -R '\x1e' '" + path +
                               "' '" + name + "'",
                           exported),
                0);
    }
    const std::vector<std::string> records = Ended(exported, '\x1e');
    ASSERT_EQ(records.size(), by_libmdb ? table.rows.size() : 0);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
      const std::vector<std::string> cells =
          by_libmdb ? Ended(records[r] + '\x1f', '\x1f') : lines[r + 2];
      ASSERT_EQ(cells.size(), fields.size());
      ASSERT_EQ(lines[r + 2].size(), fields.size());
      for (std::size_t c = 0; c < fields.size(); ++c) {
        SCOPED_TRACE("row " + std::to_string(r) + " " + table.fields[c].name);
        ExpectCell(table.fields[c], table.rows[r][c], lines[r + 2][c], false);
        if (by_libmdb) ExpectCell(table.fields[c], table.rows[r][c], cells[c], true);
      }
    }
  }
}

std::vector<Field> Fields(bool jet4) {
  std::vector<Field> fields = {
      {"ID", DataType::kCounter, 4},     {"machine_type", DataType::kText, 50},
      {"type", DataType::kInteger, 2},   {"isBitArray", DataType::kBoolean, 1},
      {"abs_min", DataType::kDouble, 8}, {"min", DataType::kSingle, 4},
      {"pass", DataType::kByte, 1},      {"cost", DataType::kCurrency, 8},
      {"changed", DataType::kDate, 8},   {"text", DataType::kMemo, 0},
      {"guid", DataType::kGuid, 16},     {"picture", DataType::kLongBinary, 0}};
  if (jet4) fields.push_back({"amount", DataType::kDecimal, 17, 18, 4});
  return fields;
}

// Rows that reach every way a value is stored: Null beside "", short memos in
// the row, longer ones on a page of their own or over several, text that
// compresses and text that does not, dates before 1900; then plain rows to
// fill several pages.
Rows PresetRows(bool jet4, int plain) {
  const std::string guid = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
  const Value none;
  Rows rows = {
      {I{1}, "M1", I{-32768}, I{-1}, 0.1, 1.5, I{255}, 922337203685477.0, "2024-02-29 13:45:59",
       "short", guid, Blob{1, 2, 3}, -12345.6789},
      {I{2}, "", none, I{0}, none, none, none, none, "1850-01-01 00:00:00", "", none, none, none},
      {I{3}, "Gr\u00fc\u00dfe \u20ac", I{7}, I{0}, -1e9, -0.5, I{0}, -0.0001, "9999-12-31 23:59:59",
       std::string(3000, 'x'), guid, Blob(9000, 0xAB), 0.0},
      {I{4}, none, I{1}, I{-1}, 2.5, 3.25, I{1}, 12.3456, "1899-12-30 00:00:00",
       std::string(5000, 'a') + "\u20ac" + std::string(4000, 'b'), none, Blob(70, 7), 1.0},
  };
  for (int i = 0; i < plain; ++i) {
    rows.push_back({I{10 + i}, "M" + std::to_string(i % 7), I{i % 100}, I{i % 2 ? -1 : 0}, i * 0.5,
                    1.0, I{i % 256}, 1.25, "2024-01-01 00:00:00", "row " + std::to_string(i), none,
                    none, 2.0});
  }
  if (!jet4) {
    for (auto& row : rows) row.pop_back();
  }
  return rows;
}

// The rows of `rows` in turn, as the writer asks for them.
RowSource RowsOf(const Rows& rows) {
  return [&rows, next = std::size_t{0}](std::vector<Value>& row) mutable {
    if (next == rows.size()) return false;
    row = rows[next++];
    return true;
  };
}

// Access leaves the slots of a reference map beyond the file's end as they
// happen to be: here as in a file that was refused as damaged.
void FillUnusedSlotsOfTheMapOfFreePages(const std::string& path) {
  PageFile file(path, true);
  ASSERT_EQ(ReadUsageMap(file, {1, 0}).type, map_type::kReference);
  Blob page = file.Read(1);
  const RowSpan map = RowAt(file.format(), page, 0);
  for (std::size_t at = map.start + 5; at + 4 <= map.end; at += 4) Put32(page, at, 0xFFFFFF80);
  file.Write(1, page);
}

struct Sample {
  const char* file;
  int added_tables;  // added first, to spread the catalog over pages
  int rows;          // then PRESET_DEFS is written with rows / 3, rows and rows / 3 rows
};

class IndependentReadersTest : public ::testing::TestWithParam<Sample> {};

// PRESET_DEFS added, then replaced by more rows and again by fewer. Large
// files get reference page maps, by Access's rules.
TEST_P(IndependentReadersTest, ReadTheSampleFilesAndTheTablesWrittenIntoThem) {
  testing::TempDir dir;
  const std::string path = dir.path() + "/work.mdb";
  std::filesystem::copy_file(Fixture(GetParam().file), path);
  std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  const bool jet4 = KindOfFile(path) == FileKind::kJet4;
  Tables expected = ReadOurs(path);
  // The first added table has 40 memo columns: in Jet 4 each keeps two page
  // maps, and the maps of many take further pages.
  for (int t = 0; t < GetParam().added_tables; ++t) {
    Contents& added = expected["Added_" + std::to_string(t)];
    added.rows.resize(t == 0 ? 2 : 1);
    for (int i = 0; i < (t == 0 ? 40 : 1); ++i) {
      added.fields.push_back(
          {"m" + std::to_string(i), t == 0 ? DataType::kMemo : DataType::kLong, t == 0 ? 0 : 4});
      added.rows[0].push_back(t == 0 ? Value{std::string(100 + i, 'a')} : Value{I{t}});
      if (t == 0) added.rows[1].push_back(Value{});  // too long above to stay in the row
    }
    ReplaceTable(path, "Added_" + std::to_string(t), added.fields, RowsOf(added.rows));
  }
  const std::set<std::string> libmdb_only = expected.size() > 10
                                                ? std::set<std::string>{"PRESET_DEFS", "Added_0"}
                                                : std::set<std::string>{};
  ExpectReadersSee(path, expected, libmdb_only);
  const std::vector<std::string> problems = testing::PageMapProblems(path);
  std::uintmax_t first_size = 0;
  for (int plain : {GetParam().rows / 3, GetParam().rows, GetParam().rows / 3}) {
    SCOPED_TRACE(plain);
    Contents& written = expected["PRESET_DEFS"] = {Fields(jet4), PresetRows(jet4, plain)};
    ReplaceTable(path, "PRESET_DEFS", written.fields, RowsOf(written.rows));
    ExpectReadersSee(path, expected, libmdb_only);
    EXPECT_EQ(ReadOurs(path)["PRESET_DEFS"].rows.size(), written.rows.size());
    EXPECT_EQ(testing::PageMapProblems(path), problems);
    if (first_size == 0) first_size = std::filesystem::file_size(path);
    if (plain > 4000 && plain == GetParam().rows) FillUnusedSlotsOfTheMapOfFreePages(path);
  }
  // The pages of a table that grew and shrank again are not lost (the map of
  // free pages may have moved on to a bitmap page meanwhile).
  EXPECT_LE(std::filesystem::file_size(path), first_size + (jet4 ? 4096 : 2048));
  EXPECT_GE(std::filesystem::file_size(path), first_size);
}

// Values as a scratch copy made by other tools may hold them: Booleans as
// text, and text measured in characters (a Jet 4 Text(5) has ten bytes).
TEST(JetWriterTest, BooleansFromTextAndTextHeldToItsField) {
  testing::TempDir dir;
  const std::string path = dir.path() + "/new.mdb";
  const std::span<const std::uint8_t> empty = EmptyJet4Database();
  testing::WriteFile(path, std::string(empty.begin(), empty.end()));
  const std::vector<Field> fields = {{"flag", DataType::kBoolean, 1}, {"name", DataType::kText, 5}};
  auto write = [&](const Rows& rows) { ReplaceTable(path, "T", fields, RowsOf(rows)); };
  using S = std::string;
  write({{S("0"), S("abcde")}, {S("-1"), S("\u00e4\u00f6\u00fc\u20ac!")}, {S(""), Value{}}});
  const Rows read = ReadOurs(path)["T"].rows;
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(Number(read[0][0]), 0);
  EXPECT_NE(Number(read[1][0]), 0);
  EXPECT_EQ(Number(read[2][0]), 0);
  EXPECT_EQ(read[1][1], Value(S("\u00e4\u00f6\u00fc\u20ac!")));
  EXPECT_THROW(write({{I{0}, S("abcdef")}}), Error);
}

// A write is done only when the file reads back: here another table's
// definition counts three rows where it keeps two.
TEST(JetWriterTest, FailsUnlessTheFileReadsBack) {
  testing::TempDir dir;
  const std::string path = dir.path() + "/work.mdb";
  std::string bytes = testing::ReadFile(Fixture("jet3_sample.mdb"));
  bytes[29 * 2048 + 12] = 3;  // the row count of Table1
  testing::WriteFile(path, bytes);
  try {
    ReplaceTable(path, "PRESET_DEFS", {{"ID", DataType::kLong, 4}}, RowsOf({{I{1}}}));
    ADD_FAILURE() << "written without failure";
  } catch (const Error& error) {
    EXPECT_EQ(error.kind, ErrorKind::kDamaged);
    EXPECT_NE(std::string(error.what()).find("found reading back"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    SampleFiles, IndependentReadersTest,
    ::testing::Values(Sample{"jet3_sample.mdb", 0, 1000}, Sample{"jet4_types.mdb", 0, 1000},
                      Sample{"jet4_fruit.mdb", 0, 1000}, Sample{"jet4_numeric.mdb", 0, 1000},
                      Sample{"catalog_200_tables.mdb", 1, 24000},
                      Sample{"jet3_sample.mdb", 150, 30000}),
    [](const auto& info) {
      const std::string file = info.param.file;
      return file.substr(0, file.find('.')) + (info.param.added_tables > 0 ? "_grown" : "");
    });

}  // namespace
}  // namespace zc::jet
