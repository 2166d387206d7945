#include "presets/db/jet_sql.h"

#include <gtest/gtest.h>

#include "errors/failure.h"

namespace zc::db {
namespace {

// The WHERE clause written back in a plain form, to compare parses.
std::string Show(const QueryExpr& e) {
  switch (e.kind) {
    case QueryExpr::Kind::kColumn:
      return (e.qualifier.empty() ? "" : e.qualifier + ".") + e.column;
    case QueryExpr::Kind::kLiteral:
      return e.literal.IsText() ? "'" + e.literal.AsText() + "'" : e.literal.ToText();
    case QueryExpr::Kind::kCompare:
      return Show(*e.left) + e.op + Show(*e.right);
    case QueryExpr::Kind::kAnd:
      return "(" + Show(*e.left) + " & " + Show(*e.right) + ")";
    case QueryExpr::Kind::kOr:
      return "(" + Show(*e.left) + " | " + Show(*e.right) + ")";
    case QueryExpr::Kind::kNot:
      return "!" + Show(*e.left);
  }
  return "";
}

TEST(JetSqlTest, ParsesTheQueriesThePresetsBuild) {
  struct Case {
    const char* sql;
    const char* table;
    size_t columns;
    const char* where;
  } cases[] = {
      {"SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY Source_PRESET_DEFS.ID",
       "Source_PRESET_DEFS", 1, ""},
      {"SELECT PRESET_DEFS.* From PRESET_DEFS WHERE (((PRESET_DEFS.Var_Name)=\"a\"\"b\"))",
       "PRESET_DEFS", 1, "PRESET_DEFS.Var_Name='a\"b'"},
      {"SELECT PRESET_DEFS.ID, PRESET_DEFS.pass, PRESET_DEFS.part From PRESET_DEFS  WHERE "
       "(((PRESET_DEFS.machine_type)=\"M1\") AND ((PRESET_DEFS.var_name)=\"V\")  AND "
       "((PRESET_DEFS.offset_or_bitno)=-7.5));",
       "PRESET_DEFS", 3,
       "((PRESET_DEFS.machine_type='M1' & PRESET_DEFS.var_name='V') & "
       "PRESET_DEFS.offset_or_bitno=-7.5)"},
      {"select * from [Fruit Salad] where not (a <> 'x''y' or b >= 1E+3)", "Fruit Salad", 1,
       "!(a<>'x'y' | b>=1000)"},
  };
  for (const Case& c : cases) {
    JetQuery query = ParseJetQuery(c.sql);
    EXPECT_EQ(query.table, c.table) << c.sql;
    EXPECT_EQ(query.columns.size(), c.columns) << c.sql;
    EXPECT_EQ(query.where ? Show(*query.where) : "", c.where) << c.sql;
  }
}

TEST(JetSqlTest, TextsOutsideTheSubsetAreSyntaxErrors) {
  for (const char* sql : {
           "SELECT PRESET_DEFS.* From PRESET_DEFS WHERE ((PRESET_DEFS.var_name)=\"unclosed)",
           "SELECT * From PRESET_DEFS WHERE (((PRESET_DEFS.offset_or_bitno)=));",
           "SELECT * From PRESET_DEFS WHERE (a=1",
           "SELECT * From PRESET_DEFS WHERE a",
           "SELECT * From PRESET_DEFS extra",
           "SELECT From PRESET_DEFS",
           "SELECT * From PRESET_DEFS WHERE (a=1)=2",
       }) {
    try {
      ParseJetQuery(sql);
      ADD_FAILURE() << "accepted: " << sql;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number, 3075) << sql;
    }
  }
}

void CollectLiterals(const QueryExpr* e, std::vector<Value>& literals) {
  if (e == nullptr) return;
  if (e->kind == QueryExpr::Kind::kLiteral) {
    if (literals.size() <= static_cast<size_t>(e->ordinal)) literals.resize(e->ordinal + 1);
    literals[e->ordinal] = e->literal;
  }
  CollectLiterals(e->left.get(), literals);
  CollectLiterals(e->right.get(), literals);
}

// A plan cached for one query serves others of its shape, binding their
// literals by the parser's ordinals: both must see the same literals.
TEST(JetSqlTest, ShapesHoldTheParsersLiterals) {
  for (const std::string& sql : {
           "SELECT * FROM P WHERE n = " + std::string(45, '7') + " AND s = 'x'",
           std::string("SELECT * FROM P WHERE n = -2.5E+3 AND s = \"a\"\"b\" OR [n 1] = 0.125"),
           std::string("SELECT * FROM P WHERE n = -\v\f5 OR n = 1"),  // blanks the lexer skips
       }) {
    std::vector<Value> parsed;
    CollectLiterals(ParseJetQuery(sql).where.get(), parsed);
    EXPECT_EQ(ShapeOfJetQuery(sql).literals, parsed) << sql;
  }
}

TEST(JetSqlTest, MarkerBytesInATextNeverShareTheShapeOfALiteral) {
  const std::pair<const char*, const char*> cases[] = {
      {"SELECT * FROM P WHERE s = \x01", "SELECT * FROM P WHERE s = 'x'"},
      {"SELECT * FROM P WHERE n = \x02", "SELECT * FROM P WHERE n = 2"},
      // The escape byte itself, before a marker and before a number.
      {"SELECT * FROM P WHERE n = \x03\x02",
       "SELECT * FROM P WHERE n = \x03"
       "2"},
  };
  for (const auto& [raw, literal] : cases) {
    EXPECT_NE(ShapeOfJetQuery(raw).key, ShapeOfJetQuery(literal).key) << raw;
  }
}

std::string Repeated(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(JetSqlTest, ConditionsFarDeeperThanAnyQueryOfTheProgramFail) {
  const std::string where = "SELECT * FROM P WHERE ";
  const int n = 100000;
  for (const std::string& sql :
       {where + Repeated("(", n) + "a=1" + Repeated(")", n), where + Repeated("NOT ", n) + "a=1",
        where + "a=1" + Repeated(" AND a=1", n)}) {
    try {
      ParseJetQuery(sql);
      ADD_FAILURE() << "accepted: " << sql.substr(0, 60);
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number, 3360) << sql.substr(0, 60);
    }
  }
  // Deep enough for anything the program builds.
  EXPECT_NO_THROW(ParseJetQuery(where + Repeated("(", 50) + "a=1" + Repeated(")", 50)));
}

TEST(JetSqlTest, TellsQueriesFromTableNames) {
  EXPECT_TRUE(IsQueryText("  select * from t"));
  EXPECT_FALSE(IsQueryText("PRESET_DEFS"));
  EXPECT_FALSE(IsQueryText("SELECTION"));
}

}  // namespace
}  // namespace zc::db
