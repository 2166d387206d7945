// Access files into the SQLite files the program works with, and back: by
// the program and by the tools mdb2sqlite and sqlite2mdb.
#include "db/jet_import.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "db/jet_export.h"
#include "jet/format.h"
#include "jet/reader.h"
#include "support/db_builder.h"
#include "support/temp_project.h"

namespace zc::db {
namespace {

using namespace zc::testing;

std::string FixtureBytes(const std::string& name, std::size_t length = std::string::npos) {
  return ReadFile(Fixture(name)).substr(0, length);
}
std::string WithAceHeader(std::string bytes) { return bytes.replace(4, 15, "Standard ACE DB"); }
std::string WithByte(std::string bytes, std::size_t at, char value) {
  bytes[at] = value;
  return bytes;
}

// Every value comes over exactly, in the storage class SQLite keeps it in,
// Null apart from "", each field under its declared type and nothing else.
TEST(JetImportTest, EveryValueAndFieldTypeExactly) {
  std::string memo;
  for (int i = 0; i < 5000; ++i) memo += "0123456789";
  const struct {
    const char* table;
    const char* fields;  // as the table is created
    std::vector<Row> rows;
  } cases[] = {
      {"AllTypes",
       R"("b" BIT, "y" BYTE, "i" SHORT, "l" LONG, "cur" CURRENCY, "f" SINGLE, "d" DOUBLE, )"
       R"("dt" DATETIME, "t" TEXT(255), "m" LONGTEXT, "n" DECIMAL(18,4), "g" GUID)",
       {{I(-1), I(255), I(-32768), I(-2147483648LL), D(922337203685477.5807),
         D(static_cast<double>(3.4028235e38f)), D(0.30000000000000004), T("2024-02-29 13:45:59"),
         T("x"), T(memo), D(-12345678901234.5678), T("{6B29FC40-CA47-1067-B31D-00DD010662DA}")},
        {I(0), Null(), Null(), Null(), Null(), Null(), Null(), T("1850-01-01 06:00:00"), T(""),
         T(""), Null(), Null()},
        // SQLite keeps whole reals as integers, and no negative zero.
        {I(0), I(0), I(0), I(0), I(0), I(0), D(0.0), T("9999-12-31 23:59:59"), Null(), Null(), I(0),
         Null()}}},
      {"Source_DEFS",
       R"("System" TEXT(50), "Var_Name" TEXT(100), "Part" LONG)",
       {{T("SYS_A"), T("Var1"), I(1)},
        {T("SYS_B"), T(""), Null()},
        {Null(), T("Gr\u00fc\u00dfe \u20ac"), I(3)}}},
      {"Source_PRESET_DEFS",
       R"("ID" COUNTER, "machine_type" TEXT(50), "type" SHORT, "var_name" TEXT(100), )"
       R"("category_id" LONG, "isBitArray" BIT, "offset_or_bitno" SHORT, "text" TEXT(255), )"
       R"("page_name" TEXT(50), "abs_min" DOUBLE, "abs_max" DOUBLE, "min" SINGLE, )"
       R"("max" SINGLE, "pass" BYTE, "part" TEXT(20))",
       {{I(1), T("M1"), I(2), T("Var1"), I(10), I(-1), I(3), T("Speed"), T("Main"), D(-1e9), D(1e9),
         D(static_cast<double>(0.1f)), D(99.5), I(1), T("A")},
        {I(2), T("M1"), I(1), T("Var2"), Null(), I(0), Null(), Null(), Null(), D(0.1), Null(),
         Null(), Null(), Null(), Null()}}},
  };
  TempDir dir;
  const std::string path = dir.path() + "/types.mdb";
  ConvertJetToSqlite(Fixture("jet4_types.mdb"), path);
  for (const auto& c : cases) {
    EXPECT_EQ(
        QueryText(path, std::string("SELECT sql FROM sqlite_master WHERE name='") + c.table + "'"),
        std::string("CREATE TABLE \"") + c.table + "\" (" + c.fields + ")");
    EXPECT_EQ(ReadStored(path, c.table), c.rows) << c.table;
  }
}

// mdb2sqlite lists every table it wrote with its row count, as the new file
// holds them, or says why it cannot, and leaves nothing else behind.
TEST(JetImportTest, Mdb2SqliteListsEveryTableWithItsRows) {
  // Every copy of the catalog rows of Table1..Table4 gets the object type of
  // a container (3), so the file lists no tables at all.
  std::string no_tables = FixtureBytes("jet3_sample.mdb");
  for (const char* row : {"\x1D\0\0\0", "\x22\0\0\0", "\x32\0\0\0", "\x36\0\0\0"}) {
    const std::string table_row = std::string(row, 4) + std::string("\x01\0\0\x0F\x01\0", 6);
    for (auto at = no_tables.find(table_row); at != std::string::npos;
         at = no_tables.find(table_row, at)) {
      no_tables[at + 8] = '\x03';
    }
  }
  const std::string sample = "Table1: 2 rows\nTable2: 0 rows\nTable3: 0 rows\nTable4: 0 rows\n";
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"Jet 3", FixtureBytes("jet3_sample.mdb"), sample},
      {"Jet 4", FixtureBytes("jet4_types.mdb"),
       "Source_DEFS: 3 rows\nSource_PRESET_DEFS: 2 rows\nAllTypes: 3 rows\n"},
      {"numeric", FixtureBytes("jet4_numeric.mdb"), "test: 1 row\n"},
      {"fruit", FixtureBytes("jet4_fruit.mdb"),
       "Fruit: 37 rows\nFruit Salad: 18 rows\nVeggie Salad: 4 rows\nMuffin/Bread: 13 rows\n"
       "Dried: 12 rows\n"},
      // One byte in the property block of an object: the Jet library's catalog
      // reader, which parses every object's properties, loops on it until
      // memory runs out. No table needs those properties.
      {"damaged properties", WithByte(FixtureBytes("jet3_sample.mdb"), 93464, '\x80'), sample},
      {"no tables", no_tables, ""},
      {"Access 2007", WithAceHeader(FixtureBytes("jet4_types.mdb")),
       " is not a database this program can read: it is an Access 2007 or later (.accdb format) "
       "database; save it in the Access 2000 (.mdb) format first (error 3343)\n"},
  };
  for (const auto& [name, bytes, listing] : cases) {
    TempDir dir;
    const std::string in = dir.path() + "/in.mdb", out = dir.path() + "/out.db";
    WriteFile(in, bytes);
    std::string output;
    const bool refused = listing.starts_with(" is not");
    EXPECT_EQ(RunCommand(std::string(ZC_MDB2SQLITE) + " '" + in + "' '" + out + "'", output),
              refused ? 1 : 0);
    EXPECT_EQ(output, (refused ? "mdb2sqlite: " + in : "") + listing) << name;
    const std::set<std::string> left =
        refused ? std::set<std::string>{"in.mdb"} : std::set<std::string>{"in.mdb", "out.db"};
    EXPECT_EQ(FolderContents(dir.path()), left) << name;
    if (refused) continue;
    EXPECT_EQ(ReadFile(out).substr(0, 16), std::string("SQLite format 3\0", 16));
    std::string held;
    for (const Row& table : ReadTable(out, "sqlite_master")) {
      const std::string rows = QueryText(out, "SELECT count(*) FROM \"" + table[1].AsText() + "\"");
      held += table[1].AsText() + ": " + rows + (rows == "1" ? " row\n" : " rows\n");
    }
    EXPECT_EQ(held, listing) << name;
  }
  std::string usage;
  EXPECT_NE(RunCommand(ZC_MDB2SQLITE, usage), 0);
}

// An input a fuzz target kept: damage only the writer meets.
std::string CrashInput(const std::string& name) {
  return ReadFile(std::string(ZC_FUZZ_CORPUS) + "/jet_reader/" + name);
}

// A file is refused (3343, naming it) when it is read or, when its damage is
// one only the writer meets, when a table is written back into it; either
// way it keeps its bytes and nothing is left beside it. What is no damage
// but beyond this program is said as such.
TEST(JetImportTest, DamagedFilesFailClearlyAndChangeNothing) {
  std::string named_as_system_table = FixtureBytes("jet3_sample.mdb");
  named_as_system_table.replace(38641, 11, "PRESET_DEFS");  // the catalog's name of MSysObjects
  const struct {
    const char* name;
    std::string bytes;
    const char* unsupported = nullptr;  // what is said instead of "damaged"
  } cases[] = {
      {"PRESET_DEFS names a system table", named_as_system_table,
       "it already holds an object named \"PRESET_DEFS\" that is no table of its own"},
      // The definition of Table1 (page 29) names a row that holds no page map.
      {"a table without its page map",
       WithByte(FixtureBytes("jet3_sample.mdb"), 29 * 2048 + 0x23, '\x7F')},
      {"cut within a page", FixtureBytes("jet4_types.mdb", 124000)},
      {"cut within its catalog", FixtureBytes("jet4_types.mdb", 10 * 4096)},
      {"cut before a table's rows", FixtureBytes("jet4_types.mdb", 40 * 4096)},
      {"Jet 3 cut short", FixtureBytes("jet3_sample.mdb", 20 * 2048)},
      {"Access 2007 format", WithAceHeader(FixtureBytes("jet4_fruit.mdb"))},
      {"SQLite already", std::string("SQLite format 3\0", 16) + std::string(4080, '\0')},
      // Catalog columns beyond the row, of unknown types, or fixed where
      // their type is not; a map of free pages that lists pages in use.
      {"catalog column of the wrong kind", CrashInput("jet-catalog-row-overflow.mdb")},
      {"catalog column beyond its row", CrashInput("jet-catalog-row-overflow-2.mdb")},
      {"catalog column numbered far out", CrashInput("jet-catalog-row-overflow-3.mdb")},
      {"catalog column of type 0", CrashInput("jet-catalog-unknown-type-0.mdb")},
      {"catalog column of type 14", CrashInput("jet-catalog-unknown-type-14.mdb")},
      {"catalog column of type 32", CrashInput("jet-catalog-unknown-type-32.mdb")},
      {"catalog column of type 30", CrashInput("jet-catalog-unknown-type-b.mdb")},
      {"free pages in use", CrashInput("jet3-write-reads-back-damaged.mdb")},
      {"rights table columns", CrashInput("damaged-rights-table-columns.mdb")},
  };
  for (const auto& [name, bytes, unsupported] : cases) {
    TempDir dir, work;
    const std::string path = dir.path() + "/Zantel.mdb", scratch = work.path() + "/scratch.db";
    WriteFile(path, bytes);
    Failure failure = FailureOf([&] {
      ConvertJetToSqlite(path, scratch);
      QueryText(scratch, "CREATE TABLE PRESET_DEFS (ID LONG, note LONGTEXT)");
      QueryText(scratch, "INSERT INTO PRESET_DEFS VALUES (1, 'x')");
      WriteBackToJet(scratch, {"PRESET_DEFS"}, path);
    });
    EXPECT_EQ(failure.number, 3343) << name;
    const std::string refused = path + " cannot take the rebuilt tables: ";
    EXPECT_TRUE(unsupported ? failure.description.starts_with(refused + unsupported)
                            : failure.description.starts_with(path + " is not a database this "
                                                                     "program can read: ") ||
                                  failure.description.starts_with(refused + "the file is damaged"))
        << name << ": " << failure.description;
    EXPECT_EQ(ReadFile(path), bytes) << name;
    EXPECT_EQ(FolderContents(dir.path()), std::set<std::string>{"Zantel.mdb"}) << name;
  }
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

// Back to Access: the tables of an Access file, through SQLite and back into
// a new Access 2000 file, come out as they went in.
TEST(Sqlite2MdbTest, WritesANewAccessFileOrFailsWithAMessage) {
  TempDir dir;
  const std::string sqlite = dir.path() + "/types.db", back = dir.path() + "/back.mdb";
  ConvertJetToSqlite(Fixture("jet4_types.mdb"), sqlite);
  std::string output;
  ASSERT_EQ(RunCommand(std::string(ZC_SQLITE2MDB) + " '" + sqlite + "' '" + back + "'", output), 0);
  EXPECT_EQ(output, "Source_DEFS: 3 rows\nSource_PRESET_DEFS: 2 rows\nAllTypes: 3 rows\n");
  EXPECT_EQ(jet::KindOfFile(back), jet::FileKind::kJet4);
  ConvertJetToSqlite(back, dir.path() + "/again.db");
  for (const char* table : {"Source_DEFS", "Source_PRESET_DEFS", "AllTypes"}) {
    EXPECT_EQ(ColumnsOf(dir.path() + "/again.db", table), ColumnsOf(sqlite, table)) << table;
    EXPECT_EQ(ReadStored(dir.path() + "/again.db", table), ReadStored(sqlite, table)) << table;
  }
  EXPECT_EQ(RunCommand(std::string(ZC_SQLITE2MDB) + " '" + sqlite + "' '" + back + "'", output), 1);
  EXPECT_NE(output.find(back), std::string::npos) << output;
}

}  // namespace
}  // namespace zc::db
