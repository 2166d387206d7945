// Databases, record sets and the scratch copies a run works on.
#include "db/database.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "db/recordset.h"
#include "errors/failure.h"
#include "platform/platform.h"
#include "support/db_builder.h"
#include "support/temp_project.h"

namespace zc::db {
namespace {

using testing::BuildDatabase;
using testing::D;
using testing::FailureOf;
using testing::I;
using testing::Null;
using testing::QueryText;
using testing::T;
using testing::TempDir;

class DatabaseTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) { return dir.path() + "/" + name; }
  std::string Indexes(const char* name) {
    return QueryText(Path(name), "SELECT count(*) FROM sqlite_master WHERE type='index'");
  }
  TempDir dir;
  Engine engine;
};

TEST_F(DatabaseTest, MissingFilesAndFilesThatAreNoDatabase) {
  testing::WriteFile(Path("text.mdb"), "Standard text, not a database");
  testing::WriteFile(Path("empty.mdb"), "");
  testing::WriteFile(Path("cut.mdb"), std::string("SQLite format 3\0", 16) + "rest cut off");
  EXPECT_EQ(FailureOf([&] { engine.OpenDatabase(Path("missing.mdb")); }).number, 3024);
  EXPECT_EQ(FailureOf([&] { engine.OpenDatabase(dir.path()); }).number, 3024);
  for (const char* name : {"text.mdb", "empty.mdb", "cut.mdb"}) {
    EXPECT_EQ(FailureOf([&] { engine.OpenDatabase(Path(name)); }).number, 3343) << name;
  }
  EXPECT_EQ(testing::ReadFile(Path("text.mdb")), "Standard text, not a database");
}

// As a run makes PRESET_DEFS anew: dropped, and created with the template's
// fields, every type keeping its size, and no key.
TEST_F(DatabaseTest, ATableCreatedAnewFromATemplatesFieldsHasTheirTypesAndNoKey) {
  testing::Columns columns = {{"b", "BIT"},        {"y", "BYTE"},         {"s", "SHORT"},
                              {"l", "LONG"},       {"c", "CURRENCY"},     {"f", "SINGLE"},
                              {"d", "DOUBLE"},     {"t", "DATETIME"},     {"x", "TEXT(42)"},
                              {"o", "LONGBINARY"}, {"m", "LONGTEXT"},     {"a", "COUNTER"},
                              {"g", "GUID"},       {"n", "DECIMAL(18,4)"}};
  BuildDatabase(Path("s.mdb"),
                {{"Template", columns, {}}, {"PRESET_DEFS", {{"old", "LONG"}}, {{I(1)}}}});
  Database db = engine.OpenDatabase(Path("s.mdb"));
  db.TableDefs().Delete("preset_defs");
  db.TableDefs().Refresh();
  TableDef source = db.TableDefs()["template"];
  TableDef target = db.CreateTableDef("PRESET_DEFS");
  for (int i = 0; i < source.Fields().Count(); ++i) {
    FieldDef field = source.Fields()[i];
    target.Fields().Append(target.CreateField(field.Name(), field.Type(), field.Size()));
  }
  db.TableDefs().Append(target);
  EXPECT_EQ(db.TableDefs()["PRESET_DEFS"].Fields()["X"].Size(), 42);
  engine.Save(Path("s.mdb"));
  testing::Columns created = columns;
  created[11].second = "LONG";           // a counter is created as a plain LONG
  created[13].second = "DECIMAL(18,0)";  // and a decimal without its scale
  EXPECT_EQ(testing::ColumnsOf(Path("s.mdb"), "PRESET_DEFS"), created);
  EXPECT_TRUE(testing::ReadTable(Path("s.mdb"), "PRESET_DEFS").empty());
  EXPECT_EQ(Indexes("s.mdb"), "0");
  EXPECT_EQ(QueryText(Path("s.mdb"), "SELECT sql FROM sqlite_master WHERE name='PRESET_DEFS'")
                .find("PRIMARY"),
            std::string::npos);
}

TEST_F(DatabaseTest, TableCollectionFailures) {
  BuildDatabase(Path("t.mdb"), {{"A", {{"x", "LONG"}}, {}}});
  Database db = engine.OpenDatabase(Path("t.mdb"));
  TableDef again = db.CreateTableDef("a");
  again.Fields().Append(again.CreateField("x", 4, 4));
  TableDef empty = db.CreateTableDef("Empty");
  const std::pair<std::function<void()>, int> cases[] = {
      {[&] { db.TableDefs()["missing"]; }, 3265},
      {[&] { db.TableDefs().Delete("missing"); }, 3265},
      {[&] { db.OpenRecordset("missing"); }, 3078},
      {[&] { db.TableDefs()["A"].Fields()["y"]; }, 3265},
      {[&] { db.TableDefs().Append(again); }, 3010},
      {[&] { db.TableDefs().Append(empty); }, 3264},
      {[&] { empty.CreateField("t", 10, 300); }, 3259},
      {[&] {
         db.Close();
         db.TableDefs();
       },
       3420},
  };
  for (const auto& [action, number] : cases) EXPECT_EQ(FailureOf(action).number, number);
}

// A run works on a scratch copy beside the file, whatever the folder is
// called: a second open shares the first's uncommitted writes, the file
// changes only when replaced, and the copy is gone when the run ends.
TEST_F(DatabaseTest, WritesGoToAScratchCopyThatIsGoneWhenTheRunEnds) {
  for (const char* folder : {"plain", "St\xC3\xB6rung",
                             "Presse S\xC3\xBC"
                             "d"}) {
    const std::string path = Path(folder) + platform::Separator() + "Zantel.mdb";
    BuildDatabase(path, {{"A", {{"x", "LONG"}}, {}}});
    Database first = engine.OpenDatabase(path);
    auto rs = first.OpenRecordset("A");
    rs->AddNew();
    rs->Fields()["x"].SetValue(I(1));
    rs->Update();
    first.Close();
    EXPECT_EQ(QueryText(path, "SELECT count(*) FROM A"), "0") << folder;
    const std::string again =
        Path(folder) + platform::Separator() + "." + platform::Separator() + "Zantel.mdb";
    EXPECT_EQ(engine.OpenDatabase(again).OpenRecordset("A")->RecordCount(), 1) << folder;
    engine.CommitPendingWrites();  // the scratch copy takes them
    EXPECT_EQ(QueryText(path, "SELECT count(*) FROM A"), "0") << folder;
    engine.FinishPendingWrites();
    EXPECT_EQ(QueryText(path, "SELECT count(*) FROM A"), "0") << folder;
    EXPECT_EQ(testing::TreeState(Path(folder)).size(), 1u) << folder;
  }
}

// They order texts by a collation other SQLite tools lack: neither the
// lookup indexes of a run nor those an interrupted run left reach the file.
TEST_F(DatabaseTest, LookupIndexesNeverReachTheFile) {
  BuildDatabase(Path("i.mdb"),
                {{"P", {{"name", "TEXT(20)"}, {"n", "LONG"}}, {{T("a"), I(1)}, {T("b"), I(2)}}}});
  QueryText(Path("i.mdb"), "CREATE INDEX zc_lookup_1 ON P (name)");
  Database db = engine.OpenDatabase(Path("i.mdb"));
  auto count = [&](const char* name) {
    return db.OpenRecordset(std::string("SELECT P.* FROM P WHERE ((P.name)=\"") + name + "\")")
        ->RecordCount();
  };
  EXPECT_EQ(count("a") + count("B") + count("c"), 2);
  engine.CommitPendingWrites();  // a dialog in the middle of the run
  EXPECT_EQ(count("A"), 1);
  db.TableDefs()["P"].Fields()["n"].SetName("m");  // something to save
  engine.Save(Path("i.mdb"));
  EXPECT_EQ(testing::IntegrityCheck(Path("i.mdb")), "ok");
  EXPECT_EQ(Indexes("i.mdb"), "0");
  EXPECT_EQ(testing::ColumnsOf(Path("i.mdb"), "P")[1].first, "m");  // and its data
  EXPECT_EQ(testing::ReadTable(Path("i.mdb"), "P"),
            (std::vector<testing::Row>{{T("a"), I(1)}, {T("b"), I(2)}}));
}

// Every case runs on an ordinary table and on one that SQLite tools can make
// without rowids, whose rows are found by their primary key (here ID).
class RecordsetTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    testing::BuildDatabase(path, {{"P",
                                   {{"ID", "LONG"}, {"var_name", "TEXT(20)"}, {"n", "DOUBLE"}},
                                   {{I(3), T("Ab\"c"), I(1)},
                                    {I(1), T(""), Null()},
                                    {I(2), Null(), D(2.5)},
                                    {I(4), T("äpfel"), I(4)},
                                    {I(5), T("AB\"C"), I(5)}}},
                                  {"Empty", {{"x", "LONG"}}, {}}});
    if (GetParam()) {
      for (const char* sql : {"ALTER TABLE P RENAME TO Q",
                              "CREATE TABLE P (ID LONG, var_name TEXT(20), n DOUBLE, "
                              "PRIMARY KEY (ID)) WITHOUT ROWID",
                              "INSERT INTO P SELECT * FROM Q", "DROP TABLE Q"}) {
        testing::QueryText(path, sql);
      }
    }
    db.emplace(engine.OpenDatabase(path));
  }
  // The stored rows as plain SQLite reads them, by ID.
  std::string Stored() {
    return testing::QueryText(path,
                              "SELECT group_concat(ID || ':' || quote(var_name) || ':' || "
                              "quote(n), ' ') FROM (SELECT * FROM P ORDER BY ID)");
  }
  std::unique_ptr<Recordset> Open(const std::string& source) { return db->OpenRecordset(source); }

  testing::TempDir dir;
  std::string path = dir.path() + "/p.mdb";
  Engine engine;
  std::optional<Database> db;
};

TEST_P(RecordsetTest, CountsAndMovesOnEmptyAndFilledSets) {
  auto empty = Open("Empty");
  EXPECT_EQ(empty->RecordCount(), 0);
  EXPECT_TRUE(empty->Eof());
  for (auto move :
       {&Recordset::MoveFirst, &Recordset::MoveNext, &Recordset::MoveLast, &Recordset::Edit}) {
    EXPECT_EQ(FailureOf([&] { ((*empty).*move)(); }).number, 3021);
  }
  EXPECT_EQ(FailureOf([&] { empty->Fields()[0].GetValue(); }).number, 3021);

  auto rs = Open("SELECT P.* FROM P ORDER BY P.ID");
  EXPECT_EQ(rs->RecordCount(), 5);
  EXPECT_FALSE(rs->Eof());
  std::vector<db::Value> ids;  // in the order asked for
  for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) ids.push_back(rs->Fields()["ID"].GetValue());
  EXPECT_EQ(ids, (std::vector<db::Value>{I(1), I(2), I(3), I(4), I(5)}));
  EXPECT_EQ(FailureOf([&] { rs->MoveNext(); }).number, 3021);
  rs->MoveLast();
  EXPECT_EQ(rs->Fields()["id"].GetValue(), I(5));
  EXPECT_EQ(rs->Fields().Count(), 3);
  EXPECT_EQ(FailureOf([&] { rs->Fields()["missing"]; }).number, 3265);
  EXPECT_EQ(FailureOf([&] { rs->Update(); }).number, 3020);
  EXPECT_EQ(FailureOf([&] { rs->Fields()[0].SetValue(I(1)); }).number, 3020);
  rs->Close();
  EXPECT_EQ(FailureOf([&] { rs->MoveFirst(); }).number, 3420);
}

// A marker where the cached query of that shape had its literal.
TEST_P(RecordsetTest, AQueryOfACachedShapeIsParsedAfresh) {
  Open("SELECT P.* FROM P WHERE P.n = 1");
  EXPECT_EQ(FailureOf([&] { Open("SELECT P.* FROM P WHERE P.n = #"); }).number, 3075);
}

// As the Access engine's: umlauts too, and past long equal beginnings.
TEST_P(RecordsetTest, TextsAreFoundAndOrderedWithoutRegardToCase) {
  auto rs = Open("P");
  for (const auto& [id, name] : {std::pair{6,
                                           "Machine1.Var_\xC3\xA4"
                                           "b"},
                                 std::pair{7,
                                           "MACHINE1.VAR_\xC3\x84"
                                           "A"}}) {
    rs->AddNew();
    rs->Fields()["ID"].SetValue(I(id));
    rs->Fields()["var_name"].SetValue(T(name));
    rs->Update();
  }
  auto ids = [&](const std::string& sql) {
    std::vector<Value> found;
    for (auto rows = Open(sql); !rows->Eof(); rows->MoveNext()) {
      found.push_back(rows->Fields()["ID"].GetValue());
    }
    return found;
  };
  const std::pair<std::string, std::vector<Value>> cases[] = {
      {"SELECT P.* FROM P WHERE P.var_name = \"\xC3\x84PFEL\"", {I(4)}},
      {"SELECT P.* FROM P WHERE ((P.var_name)=\"ab\"\"C\")", {I(3), I(5)}},
      {"SELECT P.* FROM P WHERE P.var_name = \"machine1.var_\xC3\x84\x42\"", {I(6)}},
      {"SELECT P.* FROM P WHERE P.var_name = \"machine1.var_a\"", {}},
      {"SELECT P.* FROM P WHERE P.var_name = \"\"", {I(1)}},
      {"SELECT P.* FROM P WHERE P.var_name = \"Ab\"\"c\" AND P.n = 5", {I(5)}},
      {"SELECT P.* FROM P ORDER BY P.var_name", {I(2), I(1), I(3), I(5), I(7), I(6), I(4)}},
  };
  for (const auto& [sql, found] : cases) EXPECT_EQ(ids(sql), found) << sql;
}

TEST_P(RecordsetTest, AddedRowsAreStoredAndCounted) {
  auto rs = Open("P");
  std::int64_t before = rs->RecordCount();
  rs->AddNew();
  rs->Fields()["ID"].SetValue(I(9));
  rs->Fields()["n"].SetValue(T("1.25"));
  rs->Update();
  EXPECT_EQ(rs->RecordCount(), before + 1);
  rs->MoveLast();
  rs->Edit();
  rs->Fields()["ID"].SetValue(I(10));
  rs->Update();
  EXPECT_EQ(rs->Fields()["n"].GetValue(), D(1.25));  // found again under its new ID
  EXPECT_EQ(FailureOf([&] {
              rs->AddNew();
              rs->Fields()["var_name"].SetValue(T(std::string(21, 'x')));
            }).number,
            3163);
  engine.Save(path);
  EXPECT_EQ(Stored().substr(Stored().rfind(' ') + 1), "10:NULL:1.25");
}

INSTANTIATE_TEST_SUITE_P(Tables, RecordsetTest, ::testing::Bool(), [](const auto& info) {
  return info.param ? "WithoutRowid" : "WithRowid";
});

}  // namespace
}  // namespace zc::db
