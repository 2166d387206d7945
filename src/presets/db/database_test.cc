#include "presets/db/database.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "errors/failure.h"
#include "platform/platform.h"
#include "support/db_builder.h"
#include "support/temp_project.h"

namespace zc::db {
namespace {

using testing::BuildDatabase;
using testing::ColumnsOf;
using testing::FailureNumber;
using testing::I;
using testing::QueryText;
using testing::ReadTable;
using testing::T;
using testing::TempDir;

class DatabaseTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) { return dir.path() + "/" + name; }
  TempDir dir;
  Engine engine;
};

TEST_F(DatabaseTest, MissingFilesAndFilesThatAreNoDatabase) {
  testing::WriteFile(Path("text.mdb"), "Standard text, not a database");
  testing::WriteFile(Path("empty.mdb"), "");
  testing::WriteFile(Path("cut.mdb"), std::string("SQLite format 3\0", 16) + "rest cut off");
  EXPECT_EQ(FailureNumber([&] { engine.OpenDatabase(Path("missing.mdb")); }), 3024);
  EXPECT_EQ(FailureNumber([&] { engine.OpenDatabase(dir.path()); }), 3024);
  for (const char* name : {"text.mdb", "empty.mdb", "cut.mdb"}) {
    EXPECT_EQ(FailureNumber([&] { engine.OpenDatabase(Path(name)); }), 3343) << name;
  }
  EXPECT_EQ(testing::ReadFile(Path("text.mdb")), "Standard text, not a database");
}

TEST_F(DatabaseTest, EveryDeclaredTypeRoundTripsThroughCreatedFields) {
  BuildDatabase(Path("a.mdb"), {{"Template",
                                 {{"b", "BIT"},
                                  {"y", "BYTE"},
                                  {"s", "SHORT"},
                                  {"l", "LONG"},
                                  {"c", "CURRENCY"},
                                  {"f", "SINGLE"},
                                  {"d", "DOUBLE"},
                                  {"t", "DATETIME"},
                                  {"x", "TEXT(42)"},
                                  {"o", "LONGBINARY"},
                                  {"m", "LONGTEXT"},
                                  {"a", "COUNTER"},
                                  {"g", "GUID"},
                                  {"n", "DECIMAL(18,4)"}},
                                 {}}});
  Database db = engine.OpenDatabase(Path("a.mdb"));
  TableDef source = db.TableDefs()["template"];
  TableDef copy = db.CreateTableDef("Copy");
  for (int i = 0; i < source.Fields().Count(); ++i) {
    FieldDef field = source.Fields()[i];
    copy.Fields().Append(copy.CreateField(field.Name(), field.Type(), field.Size()));
  }
  db.TableDefs().Append(copy);
  TableDef stored = db.TableDefs()["Copy"];
  ASSERT_EQ(stored.Fields().Count(), 14);
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(stored.Fields()[i].Name(), source.Fields()[i].Name());
    EXPECT_EQ(stored.Fields()[i].Type(), source.Fields()[i].Type()) << i;
    EXPECT_EQ(stored.Fields()[i].Size(), source.Fields()[i].Size()) << i;
  }
  EXPECT_EQ(stored.Fields()["X"].Size(), 42);
}

TEST_F(DatabaseTest, DroppedAndRecreatedTableHasExactlyTheTemplatesFieldsAndNoKey) {
  auto columns = testing::PresetColumns({"A", "B"});
  BuildDatabase(Path("s.mdb"), {{"Source_PRESET_DEFS", columns, {}},
                                {"PRESET_DEFS", {{"old", "LONG"}}, {{I(1)}}}});
  Database db = engine.OpenDatabase(Path("s.mdb"));
  db.TableDefs().Delete("PRESET_DEFS");
  db.TableDefs().Refresh();
  TableDef source = db.TableDefs()["Source_PRESET_DEFS"];
  TableDef target = db.CreateTableDef("PRESET_DEFS");
  for (int i = 0; i < source.Fields().Count(); ++i) {
    FieldDef f = source.Fields()[i];
    target.Fields().Append(target.CreateField(f.Name(), f.Type(), f.Size()));
  }
  db.TableDefs().Append(target);
  engine.Save(Path("s.mdb"));
  EXPECT_EQ(ColumnsOf(Path("s.mdb"), "PRESET_DEFS"), columns);
  EXPECT_TRUE(ReadTable(Path("s.mdb"), "PRESET_DEFS").empty());
  EXPECT_EQ(QueryText(Path("s.mdb"), "SELECT count(*) FROM sqlite_master WHERE type='index'"), "0");
  EXPECT_EQ(QueryText(Path("s.mdb"), "SELECT sql FROM sqlite_master WHERE name='PRESET_DEFS'")
                .find("PRIMARY"),
            std::string::npos);
}

TEST_F(DatabaseTest, RenamingAFieldKeepsItsData) {
  BuildDatabase(Path("c.mdb"), {{"PRESET_DEFS",
                                 {{"ID", "LONG"}, {"Categorie", "LONG"}},
                                 {{I(1), I(7)}, {I(2), testing::Null()}}}});
  Database db = engine.OpenDatabase(Path("c.mdb"));
  TableDef table = db.TableDefs()["PRESET_DEFS"];
  FieldDef field = table.Fields()["CATEGORIE"];
  field.SetName("category_id");
  table.Fields().Refresh();
  EXPECT_EQ(table.Fields()[1].Name(), "category_id");
  engine.Save(Path("c.mdb"));
  EXPECT_EQ(ReadTable(Path("c.mdb"), "PRESET_DEFS"),
            (std::vector<testing::Row>{{I(1), I(7)}, {I(2), testing::Null()}}));
}

TEST_F(DatabaseTest, TableCollectionFailures) {
  BuildDatabase(Path("t.mdb"), {{"A", {{"x", "LONG"}}, {}}});
  Database db = engine.OpenDatabase(Path("t.mdb"));
  EXPECT_EQ(FailureNumber([&] { db.TableDefs()["missing"]; }), 3265);
  EXPECT_EQ(FailureNumber([&] { db.TableDefs().Delete("missing"); }), 3265);
  EXPECT_EQ(FailureNumber([&] { db.OpenRecordset("missing"); }), 3078);
  EXPECT_EQ(FailureNumber([&] { db.TableDefs()["A"].Fields()["y"]; }), 3265);
  TableDef again = db.CreateTableDef("a");
  again.Fields().Append(again.CreateField("x", 4, 4));
  EXPECT_EQ(FailureNumber([&] { db.TableDefs().Append(again); }), 3010);
  TableDef empty = db.CreateTableDef("Empty");
  EXPECT_EQ(FailureNumber([&] { db.TableDefs().Append(empty); }), 3264);
  EXPECT_EQ(FailureNumber([&] { empty.CreateField("t", 10, 300); }), 3259);
  db.Close();
  EXPECT_EQ(FailureNumber([&] { db.TableDefs(); }), 3420);
}

TEST_F(DatabaseTest, ReopeningAFileSharesItsUncommittedWrites) {
  BuildDatabase(Path("r.mdb"), {{"A", {{"x", "LONG"}}, {}}});
  Database first = engine.OpenDatabase(Path("r.mdb"));
  auto rs = first.OpenRecordset("A");
  rs->AddNew();
  rs->Fields()["x"].SetValue(I(1));
  rs->Update();
  first.Close();
  // Writes are batched: another program does not see them yet, this run does.
  EXPECT_EQ(QueryText(Path("r.mdb"), "SELECT count(*) FROM A"), "0");
  Database second = engine.OpenDatabase(dir.path() + "/./r.mdb");
  EXPECT_EQ(second.OpenRecordset("A")->RecordCount(), 1);
  engine.CommitPendingWrites();
  EXPECT_EQ(QueryText(Path("r.mdb"), "SELECT count(*) FROM A"), "0");  // the scratch took them
  engine.Save(Path("r.mdb"));
  EXPECT_EQ(QueryText(Path("r.mdb"), "SELECT count(*) FROM A"), "1");
}

TEST_F(DatabaseTest, AFolderNameOutsideAsciiIsReachedAndReopened) {
  std::string path = Path("St\xC3\xB6rung") + platform::Separator() + "r.mdb";
  BuildDatabase(path, {{"A", {{"x", "LONG"}}, {}}});
  Database first = engine.OpenDatabase(path);
  auto rs = first.OpenRecordset("A");
  rs->AddNew();
  rs->Fields()["x"].SetValue(I(1));
  rs->Update();
  first.Close();
  // The uncommitted row shows that the second open shares the first's connection.
  EXPECT_EQ(engine.OpenDatabase(path).OpenRecordset("A")->RecordCount(), 1);
  engine.FinishPendingWrites();
  // The run worked on a scratch copy; only replacing a file makes it keep writes.
  EXPECT_EQ(QueryText(path, "SELECT count(*) FROM A"), "0");
}

TEST_F(DatabaseTest, AScratchCopyIsGoneWhenTheRunEndsWhateverItsFolderIsCalled) {
  std::string folder = Path(
      "Presse S\xC3\xBC"
      "d");
  std::string path = folder + platform::Separator() + "Zantel.mdb";
  BuildDatabase(path, {{"A", {{"x", "LONG"}}, {}}});
  auto rs = engine.OpenDatabase(path).OpenRecordset("A");
  rs->AddNew();
  rs->Fields()["x"].SetValue(I(1));
  rs->Update();
  engine.FinishPendingWrites();
  EXPECT_EQ(QueryText(path, "SELECT count(*) FROM A"), "0");  // the copy took the write
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(testing::PathOf(folder)))
    entries += e.exists();
  EXPECT_EQ(entries, 1);
}

TEST_F(DatabaseTest, ACopyMadeRightAfterAWriteHoldsIt) {
  BuildDatabase(Path("src.mdb"), {{"A", {{"x", "LONG"}}, {}}});
  BuildDatabase(Path("dst.mdb"), {{"B", {{"y", "LONG"}}, {{I(5)}}}});
  Database src = engine.OpenDatabase(Path("src.mdb"));
  auto rs = src.OpenRecordset("SELECT A.* FROM A WHERE A.x = 3");  // leaves a lookup index
  rs->AddNew();
  rs->Fields()[0].SetValue(I(3));
  rs->Update();
  Database dst = engine.OpenDatabase(Path("dst.mdb"));
  dst.TableDefs().Delete("B");  // discarded: the copy replaces this file
  engine.ReplaceWithCopy(Path("src.mdb"), Path("dst.mdb"));
  EXPECT_EQ(QueryText(Path("dst.mdb"), "SELECT count(*) FROM A"), "1");
  EXPECT_EQ(QueryText(Path("dst.mdb"), "SELECT count(*) FROM sqlite_master WHERE type='index'"),
            "0");
  EXPECT_EQ(FailureNumber([&] { dst.OpenRecordset("A"); }), 3420);
  EXPECT_EQ(engine.OpenDatabase(Path("dst.mdb")).OpenRecordset("A")->RecordCount(), 1);
}

// They order texts by a collation other SQLite tools lack.
TEST_F(DatabaseTest, LookupIndexesNeverReachTheFile) {
  BuildDatabase(Path("i.mdb"),
                {{"P", {{"name", "TEXT(20)"}, {"n", "LONG"}}, {{T("a"), I(1)}, {T("b"), I(2)}}}});
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
  EXPECT_EQ(QueryText(Path("i.mdb"), "SELECT count(*) FROM sqlite_master WHERE type='index'"), "0");
}

TEST_F(DatabaseTest, IndexesLeftByAnInterruptedRunAreDroppedOnOpen) {
  BuildDatabase(Path("l.mdb"), {{"P", {{"name", "TEXT(20)"}}, {}}});
  QueryText(Path("l.mdb"), "CREATE INDEX zc_lookup_1 ON P (name)");
  engine.OpenDatabase(Path("l.mdb"));
  engine.Save(Path("l.mdb"));
  EXPECT_EQ(QueryText(Path("l.mdb"), "SELECT count(*) FROM sqlite_master WHERE type='index'"), "0");
}

}  // namespace
}  // namespace zc::db
