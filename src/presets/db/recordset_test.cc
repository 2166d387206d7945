#include "presets/db/recordset.h"

#include <gtest/gtest.h>

#include "errors/failure.h"
#include "presets/db/database.h"
#include "support/db_builder.h"
#include "support/temp_project.h"

namespace zc::db {
namespace {

using testing::FailureNumber;
using testing::I;
using testing::Null;
using testing::T;

// Every case runs on an ordinary table and on one that SQLite tools can make
// without rowids, whose rows are found by their primary key (here ID).
class RecordsetTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    testing::BuildDatabase(path, {{"P",
                                   {{"ID", "LONG"}, {"var_name", "TEXT(20)"}, {"n", "DOUBLE"}},
                                   {{I(3), T("Ab\"c"), I(1)},
                                    {I(1), T(""), Null()},
                                    {I(2), Null(), testing::D(2.5)},
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
  std::vector<std::int64_t> Ids(Recordset& rs) {
    std::vector<std::int64_t> ids;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
      ids.push_back(static_cast<std::int64_t>(rs.Fields()["ID"].GetValue().AsNumber()));
    }
    return ids;
  }

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
    EXPECT_EQ(FailureNumber([&] { ((*empty).*move)(); }), 3021);
  }
  EXPECT_EQ(FailureNumber([&] { empty->Fields()[0].GetValue(); }), 3021);

  auto rs = Open("SELECT P.* FROM P ORDER BY P.ID");
  EXPECT_EQ(rs->RecordCount(), 5);
  EXPECT_FALSE(rs->Eof());
  EXPECT_EQ(Ids(*rs), (std::vector<std::int64_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(FailureNumber([&] { rs->MoveNext(); }), 3021);
  rs->MoveLast();
  EXPECT_EQ(rs->Fields()["id"].GetValue(), I(5));
  EXPECT_EQ(rs->Fields().Count(), 3);
  EXPECT_EQ(FailureNumber([&] { rs->Fields()["missing"]; }), 3265);
  EXPECT_EQ(FailureNumber([&] { rs->Update(); }), 3020);
  EXPECT_EQ(FailureNumber([&] { rs->Fields()[0].SetValue(I(1)); }), 3020);
  rs->Close();
  EXPECT_EQ(FailureNumber([&] { rs->MoveFirst(); }), 3420);
}

TEST_P(RecordsetTest, NullAndEmptyTextStayApart) {
  auto rs = Open("SELECT P.var_name FROM P ORDER BY P.ID");
  rs->MoveFirst();
  EXPECT_EQ(rs->Fields()[0].GetValue(), T(""));
  rs->MoveNext();
  EXPECT_TRUE(rs->Fields()[0].GetValue().IsNull());
  EXPECT_EQ(Open("SELECT P.* FROM P WHERE P.var_name = \"\"")->RecordCount(), 1);
}

TEST_P(RecordsetTest, TextComparisonsIgnoreLetterCase) {
  struct Case {
    const char* where;
    std::vector<std::int64_t> ids;
  } cases[] = {
      {"(((P.var_name)=\"ab\"\"C\"))", {3, 5}},  // rows come in stored order
      {"P.var_name = \"ÄPFEL\"", {4}},          {"P.var_name = \"Äpfel\"", {4}},
      {"P.var_name = \"apfel\"", {}},           {"((P.var_name)=\"AB\"\"C\") AND ((P.n)=5)", {5}},
  };
  for (const Case& c : cases) {
    auto rs = Open(std::string("SELECT P.ID, P.n FROM P WHERE ") + c.where + ";");
    std::vector<std::int64_t> ids;
    for (; !rs->Eof(); rs->MoveNext()) ids.push_back(rs->Fields()[0].GetValue().AsNumber());
    EXPECT_EQ(ids, c.ids) << c.where;
  }
}

TEST_P(RecordsetTest, QueriesNamingWhatIsNotThereFail) {
  EXPECT_EQ(FailureNumber([&] { Open("SELECT P.nope FROM P"); }), 3061);
  EXPECT_EQ(FailureNumber([&] { Open("SELECT Q.ID FROM P"); }), 3061);
  EXPECT_EQ(FailureNumber([&] { Open("SELECT P.* FROM P WHERE P.n = \"5\""); }), 3464);
  EXPECT_EQ(FailureNumber([&] { Open("SELECT P.* FROM P WHERE P.var_name = 5"); }), 3464);
  EXPECT_EQ(FailureNumber([&] { Open("SELECT Nowhere.* FROM Nowhere"); }), 3078);
  EXPECT_EQ(FailureNumber([&] { Open("SELECT P.* FROM P WHERE"); }), 3075);
  // A marker where the cached query of that shape had its literal.
  Open("SELECT P.* FROM P WHERE P.n = 1");
  EXPECT_EQ(FailureNumber([&] { Open("SELECT P.* FROM P WHERE P.n = #"); }), 3075);
}

TEST_P(RecordsetTest, EditingThroughAQueryChangesOnlyTheEditedFields) {
  auto rs = Open("SELECT P.n, P.var_name FROM P WHERE ((P.var_name)=\"AB\"\"c\")");
  for (; !rs->Eof(); rs->MoveNext()) {
    rs->Edit();
    rs->Fields()["VAR_NAME"].SetValue(T("renamed"));
    EXPECT_EQ(rs->Fields()[1].GetValue(), T("renamed"));
    rs->Update();
  }
  EXPECT_EQ(Open("SELECT P.* FROM P WHERE P.var_name = \"Renamed\"")->RecordCount(), 2);
  engine.Save(path);
  EXPECT_EQ(Stored(), "1:'':NULL 2:NULL:2.5 3:'renamed':1.0 4:'äpfel':4.0 5:'renamed':5.0");
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
  EXPECT_EQ(rs->Fields()["n"].GetValue(), testing::D(1.25));  // found again under its new ID
  EXPECT_EQ(FailureNumber([&] {
              rs->AddNew();
              rs->Fields()["var_name"].SetValue(T(std::string(21, 'x')));
            }),
            3163);
  engine.Save(path);
  EXPECT_EQ(Stored().substr(Stored().rfind(' ') + 1), "10:NULL:1.25");
}

INSTANTIATE_TEST_SUITE_P(Tables, RecordsetTest, ::testing::Bool(), [](const auto& info) {
  return info.param ? "WithoutRowid" : "WithRowid";
});

}  // namespace
}  // namespace zc::db
