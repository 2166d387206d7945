#include "presets/db/jet_import.h"

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
    Failure failure = FailureOf([&] { ImportJetInPlace(path); });
    EXPECT_EQ(failure.number, 3343) << name;
    EXPECT_TRUE(
        failure.description.starts_with(path + " is not a database this program can read: "))
        << name << ": " << failure.description;
    EXPECT_THROW(ConvertJetToSqlite(path, dir.path() + "/out.mdb"), Failure) << name;
    EXPECT_EQ(ReadFile(path), bytes) << name;
    EXPECT_EQ(FolderContents(dir.path()), std::set<std::string>{"Zantel.mdb"}) << name;
  }
}

TEST(JetImportTest, InPlaceKeepsTheOriginalAndNeverOverwritesACopy) {
  TempDir dir;
  const std::string folder = std::filesystem::canonical(dir.path()).string();
  const std::string path = folder + "/Zantel Source.mdb";
  WriteFile(path, FixtureBytes("jet3_sample.mdb"));
  WriteFile(path + ".jet", "an earlier copy");
  EXPECT_TRUE(IsJetFile(path));

  ImportResult result = ImportJetInPlace(path);

  EXPECT_EQ(result.original_copy, path + ".jet.2");
  EXPECT_EQ(result.format, "Jet 3");
  ASSERT_EQ(result.tables.size(), 4u);
  EXPECT_EQ(result.tables[0].name, "Table1");
  EXPECT_EQ(result.tables[0].rows, 2);
  EXPECT_EQ(ReadFile(path + ".jet"), "an earlier copy");
  EXPECT_EQ(ReadFile(path + ".jet.2"), FixtureBytes("jet3_sample.mdb"));
  EXPECT_FALSE(IsJetFile(path));
  EXPECT_EQ(TablesWithRowCounts(path).size(), 4u);
  EXPECT_EQ(FolderContents(folder),
            (std::set<std::string>{"Zantel Source.mdb", "Zantel Source.mdb.jet",
                                   "Zantel Source.mdb.jet.2"}));

  WriteFile(path, FixtureBytes("jet4_numeric.mdb"));
  std::filesystem::remove(path + ".jet");
  EXPECT_EQ(ImportJetInPlace(path).original_copy, path + ".jet");
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

TEST(JetImportTest, MissingReadOnlyAndExistingFilesAreRefused) {
  TempDir dir;
  const std::string missing = dir.path() + "/missing.mdb";
  Failure failure = FailureOf([&] { ImportJetInPlace(missing); });
  EXPECT_EQ(failure.number, 3024);
  EXPECT_EQ(failure.description, "Could not find file '" + missing + "'.");
  const std::string read_only = dir.path() + "/read-only.mdb";
  WriteFile(read_only, FixtureBytes("jet4_numeric.mdb"));
  std::filesystem::permissions(read_only, std::filesystem::perms::owner_read);
  EXPECT_EQ(FailureOf([&] { ImportJetInPlace(read_only); }).number, failures::kFileAccess);
  EXPECT_EQ(ReadFile(read_only), FixtureBytes("jet4_numeric.mdb"));
  std::filesystem::remove(read_only);

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

}  // namespace
}  // namespace zc::jet
