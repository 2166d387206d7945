#include "presets/db/jet_sql.h"

#include <gtest/gtest.h>

#include "errors/failure.h"
#include "support/db_builder.h"

namespace zc::db {
namespace {

using testing::FailureNumber;

// A parse written back in a plain form: table, columns, conditions with the
// literals they compare with, order.
std::string Show(std::string_view sql) {
  QueryShape shape = ShapeOfJetQuery(sql);
  JetQuery query = ParseJetQuery(sql);
  std::string shown = query.table + ":";
  for (const ColumnRef& c : query.columns) shown += " " + c.table + "." + c.column;
  for (const Comparison& c : query.where) {
    const Value& literal = shape.literals.at(c.literal);
    shown += " " + c.column.column + "=" + (literal.IsText() ? "'" : "") + literal.ToText();
  }
  for (const ColumnRef& c : query.order_by) shown += " by " + c.column;
  return shown;
}

TEST(JetSqlTest, ParsesTheQueriesThePresetsBuild) {
  const std::pair<const char*, const char*> cases[] = {
      {"SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY Source_PRESET_DEFS.ID",
       "Source_PRESET_DEFS: Source_PRESET_DEFS.* by ID"},
      {"SELECT PRESET_DEFS.* From PRESET_DEFS WHERE (((PRESET_DEFS.Var_Name)=\"a\"\"b\"))",
       "PRESET_DEFS: PRESET_DEFS.* Var_Name='a\"b"},
      {"SELECT PRESET_DEFS.ID, PRESET_DEFS.pass, PRESET_DEFS. extra From PRESET_DEFS  WHERE "
       "(((PRESET_DEFS.machine_type)=\"M1\") AND ((PRESET_DEFS.var_name)=\"V\")  AND "
       "((PRESET_DEFS.offset_or_bitno)=-7.5));",
       "PRESET_DEFS: PRESET_DEFS.ID PRESET_DEFS.pass PRESET_DEFS.extra machine_type='M1 "
       "var_name='V offset_or_bitno=-7.5"},
      {"select t.* from t where t.n = 1E+20 and (t.s = \"\")", "t: t.* n=1E+20 s='"},
  };
  for (const auto& [sql, parsed] : cases) EXPECT_EQ(Show(sql), parsed) << sql;
}

// The grammar holds what the program sends and nothing more.
TEST(JetSqlTest, AnythingElseIsASyntaxError) {
  for (const char* sql : {
           "SELECT P.* From P WHERE ((P.var_name)=\"unclosed)",
           "SELECT P.* From P WHERE (((P.offset_or_bitno)=));",
           "SELECT P.* From P WHERE (P.a=1",
           "SELECT P.* From P WHERE P.a",
           "SELECT P.* From P WHERE (P.a=1)=2",
           "SELECT P.* From P WHERE 1=P.a",
           "SELECT P.* From P WHERE P.a=P.b",
           "SELECT P.* From P extra",
           "SELECT From P",
           "SELECT * From P",
           "SELECT a From P",
           "SELECT P.* From P WHERE P.a=1 OR P.b=2",
           "SELECT P.* From P WHERE NOT P.a=1",
           "SELECT P.* From P WHERE P.a<>1",
           "SELECT P.* From P WHERE P.s='x'",
           "SELECT [P].* From [P]",
           "SELECT P.* From P ORDER BY P.a DESC",
           "SELECT P.* From P WHERE P.a=- 1",
           "SELECT P.* From P WHERE P.s=#",
       }) {
    EXPECT_EQ(FailureNumber([&] {
                ShapeOfJetQuery(sql);
                ParseJetQuery(sql);
              }),
              3075)
        << sql;
  }
}

TEST(JetSqlTest, QueriesShareAShapeWhenOnlyTheirLiteralValuesDiffer) {
  auto key = [](std::string_view sql) { return ShapeOfJetQuery(sql).key; };
  const std::string query = "SELECT P.* FROM P WHERE ((P.a)=";
  EXPECT_EQ(key(query + "\"x\")"), key(query + "\"y \"\"z\"\"\")"));
  EXPECT_EQ(key(query + "1)"), key(query + "-2.5E+3)"));
  EXPECT_NE(key(query + "\"1\")"), key(query + "1)"));
  EXPECT_NE(key("SELECT P.* FROM P WHERE P.ab=1"), key("SELECT P.* FROM P WHERE P.a b=1"));
  const std::string long_number(45, '7');
  EXPECT_EQ(ShapeOfJetQuery(query + long_number + ") AND P.b=\"\"").literals,
            (std::vector<Value>{Value::Number(std::stod(long_number)), Value::Text("")}));
}

TEST(JetSqlTest, ConditionsFarDeeperThanAnyQueryOfTheProgramFail) {
  auto repeated = [](std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
  };
  const std::string where = "SELECT P.* FROM P WHERE ";
  for (const std::string& sql : {where + repeated("(", 100000) + "P.a=1" + repeated(")", 100000),
                                 where + "P.a=1" + repeated(" AND P.a=1", 100000)}) {
    EXPECT_EQ(FailureNumber([&] { ParseJetQuery(sql); }), 3360) << sql.substr(0, 60);
  }
  // Deep enough for anything the program builds.
  EXPECT_NO_THROW(ParseJetQuery(where + repeated("(", 50) + "P.a=1" + repeated(")", 50)));
}

TEST(JetSqlTest, TellsQueriesFromTableNames) {
  EXPECT_TRUE(IsQueryText("  select * from t"));
  EXPECT_FALSE(IsQueryText("PRESET_DEFS"));
  EXPECT_FALSE(IsQueryText("SELECTION"));
}

}  // namespace
}  // namespace zc::db
