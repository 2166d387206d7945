#include "presets/db/jet_import.h"

#include "jet/format.h"

#include <gtest/gtest.h>

#include "presets/db/jet_test_support.h"

namespace zc::jet {
namespace {

using namespace test_support;

std::string WithByte(std::string bytes, std::size_t at, char value) {
  bytes[at] = value;
  return bytes;
}

TEST(JetImportTest, FilesThatCannotBeReadFailClearlyAndChangeNothing) {
  const std::pair<const char*, std::string> cases[] = {
      // The definition of Table1 (page 29) names a row that holds no page map.
      {"a table without its page map",
       WithByte(FixtureBytes("jet3_sample.mdb"), 29 * 2048 + 0x23, '\x7F')},
      {"cut within a page", FixtureBytes("jet4_types.mdb", 124000)},
      {"cut within its catalog", FixtureBytes("jet4_types.mdb", 10 * 4096)},
      {"cut before a table's rows", FixtureBytes("jet4_types.mdb", 40 * 4096)},
      {"Jet 3 cut short", FixtureBytes("jet3_sample.mdb", 20 * 2048)},
      {"Access 2007 format", WithAceHeader(FixtureBytes("jet4_fruit.mdb"))},
      {"SQLite already", std::string("SQLite format 3\0", 16) + std::string(4080, '\0')},
  };
  for (const auto& [name, bytes] : cases) {
    TempDir dir;
    const std::string path = dir.path() + "/Zantel.mdb";
    WriteFile(path, bytes);
    Failure failure = FailureOf([&] { ConvertJetToSqlite(path, dir.path() + "/out.mdb"); });
    EXPECT_EQ(failure.number, 3343) << name;
    EXPECT_TRUE(
        failure.description.starts_with(path + " is not a database this program can read: "))
        << name << ": " << failure.description;
    EXPECT_EQ(ReadFile(path), bytes) << name;
    EXPECT_EQ(FolderContents(dir.path()), std::set<std::string>{"Zantel.mdb"}) << name;
  }
}

TEST(JetImportTest, DamagedObjectPropertiesDoNotStopTheImport) {
  // One byte in the property block of an object: the Jet library's catalog
  // reader, which parses every object's properties, loops on it until memory
  // runs out. No table needs those properties.
  std::string bytes = FixtureBytes("jet3_sample.mdb");
  bytes[93464] = '\x80';
  TempDir dir;
  WriteFile(dir.path() + "/in.mdb", bytes);
  ConvertJetToSqlite(dir.path() + "/in.mdb", dir.path() + "/out.mdb");
  EXPECT_EQ(TablesWithRowCounts(dir.path() + "/out.mdb"),
            (Pairs{{"Table1", "2"}, {"Table2", "0"}, {"Table3", "0"}, {"Table4", "0"}}));
}

TEST(JetImportTest, AFileWithoutTablesBecomesAnEmptyDatabase) {
  // Every copy of the catalog rows of Table1..Table4 gets the object type of
  // a container (3), so the file lists no tables at all.
  std::string bytes = FixtureBytes("jet3_sample.mdb");
  for (const char* row : {"\x1D\0\0\0", "\x22\0\0\0", "\x32\0\0\0", "\x36\0\0\0"}) {
    const std::string table_row = std::string(row, 4) + std::string("\x01\0\0\x0F\x01\0", 6);
    for (auto at = bytes.find(table_row); at != std::string::npos; at = bytes.find(table_row, at)) {
      bytes[at + 8] = '\x03';
    }
  }
  TempDir dir;
  WriteFile(dir.path() + "/in.mdb", bytes);
  EXPECT_TRUE(ConvertJetToSqlite(dir.path() + "/in.mdb", dir.path() + "/out.mdb").empty());
  EXPECT_EQ(ReadFile(dir.path() + "/out.mdb").substr(0, 16), std::string("SQLite format 3\0", 16));
  EXPECT_TRUE(TablesWithRowCounts(dir.path() + "/out.mdb").empty());
}

TEST(JetImportTest, MissingAndExistingFilesAreRefused) {
  TempDir dir;
  const std::string missing = dir.path() + "/missing.mdb";
  Failure failure = FailureOf([&] { ConvertJetToSqlite(missing, dir.path() + "/out.mdb"); });
  EXPECT_EQ(failure.number, 3024);
  EXPECT_EQ(failure.description, "Could not find file '" + missing + "'.");
  const std::string existing = dir.path() + "/existing.mdb";
  WriteFile(existing, "keep");
  EXPECT_EQ(FailureOf([&] { ConvertJetToSqlite(Fixture("jet4_fruit.mdb"), existing); }).number,
            3204);
  EXPECT_EQ(ReadFile(existing), "keep");
  EXPECT_EQ(FolderContents(dir.path()), std::set<std::string>{"existing.mdb"});
}

TEST(Mdb2SqliteTest, ListsTablesOrFailsWithAMessage) {
  TempDir dir;
  const std::string ace = dir.path() + "/new.accdb";
  WriteFile(ace, WithAceHeader(FixtureBytes("jet4_types.mdb")));
  const std::tuple<std::string, int, std::string> cases[] = {
      {"'" + Fixture("jet4_numeric.mdb") + "' '" + dir.path() + "/numeric.db'", 0, "test: 1 row\n"},
      {"'" + Fixture("jet3_sample.mdb") + "' '" + dir.path() + "/sample.db'", 0,
       "Table1: 2 rows\nTable2: 0 rows\nTable3: 0 rows\nTable4: 0 rows\n"},
      {"'" + ace + "' '" + dir.path() + "/ace.db'", 1,
       "mdb2sqlite: " + ace +
           " is not a database this program can read: it is an Access 2007 "
           "or later (.accdb format) database; save it in the Access 2000 (.mdb) format first "
           "(error 3343)\n"},
  };
  for (const auto& [arguments, status, expected_output] : cases) {
    std::string output;
    EXPECT_EQ(RunCommand(std::string(ZC_MDB2SQLITE) + " " + arguments, output), status);
    EXPECT_EQ(output, expected_output);
  }
  std::string usage;
  EXPECT_NE(RunCommand(ZC_MDB2SQLITE, usage), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/ace.db"));
}

// Back to Access: the tables of an Access file, through SQLite and back into
// a new Access 2000 file, come out as they went in.
TEST(Sqlite2MdbTest, WritesANewAccessFileOrFailsWithAMessage) {
  TempDir dir;
  const std::string sqlite = dir.path() + "/types.db", back = dir.path() + "/back.mdb";
  ConvertJetToSqlite(Fixture("jet4_types.mdb"), sqlite);
  std::string output;
  ASSERT_EQ(RunCommand(std::string(ZC_SQLITE2MDB) + " '" + sqlite + "' '" + back + "'", output), 0);
  EXPECT_EQ(output, "Source_DEFS: 3 rows\nSource_PRESET_DEFS: 2 rows\nAllTypes: 3 rows\n");
  EXPECT_EQ(KindOfFile(back), FileKind::kJet4);
  ConvertJetToSqlite(back, dir.path() + "/again.db");
  for (const char* table : {"Source_DEFS", "Source_PRESET_DEFS", "AllTypes"}) {
    EXPECT_EQ(Fields(dir.path() + "/again.db", table), Fields(sqlite, table)) << table;
    EXPECT_EQ(Query(dir.path() + "/again.db", std::string("SELECT * FROM ") + table),
              Query(sqlite, std::string("SELECT * FROM ") + table))
        << table;
  }
  EXPECT_EQ(RunCommand(std::string(ZC_SQLITE2MDB) + " '" + sqlite + "' '" + back + "'", output), 1);
  EXPECT_NE(output.find(back), std::string::npos) << output;
}

}  // namespace
}  // namespace zc::jet
