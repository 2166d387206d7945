// The database layer's small parts: field types and the values they take,
// numbers as text, and the grammar of the queries the program sends.
#include "db/field_type.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <tuple>
#include <variant>

#include "db/jet_sql.h"
#include "db/packed_rows.h"
#include "errors/failure.h"
#include "support/db_builder.h"

namespace zc::db {
namespace {

using testing::FailureOf;

// Our declared types carry type and size; foreign ones (from ordinary SQLite
// tools) follow SQLite's affinity rules. `created` is what a field of that
// type and size is created as.
TEST(FieldTypeTest, DeclaredTypesCarryTypeAndSize) {
  const std::tuple<const char*, FieldType, const char*> cases[] = {
      {"BIT", {type::kBoolean, 1}, "BIT"},
      {"BYTE", {type::kByte, 1}, "BYTE"},
      {"SHORT", {type::kInteger, 2}, "SHORT"},
      {"LONG", {type::kLong, 4}, "LONG"},
      {"CURRENCY", {type::kCurrency, 8}, "CURRENCY"},
      {"SINGLE", {type::kSingle, 4}, "SINGLE"},
      {"DOUBLE", {type::kDouble, 8}, "DOUBLE"},
      {"DATETIME", {type::kDate, 8}, "DATETIME"},
      {"TEXT(50)", {type::kText, 50}, "TEXT(50)"},
      {"text(1)", {type::kText, 1}, "TEXT(1)"},
      {"TEXT(255)", {type::kText, 255}, "TEXT(255)"},
      {"LONGBINARY", {type::kLongBinary, 0}, "LONGBINARY"},
      {"LONGTEXT", {type::kMemo, 0}, "LONGTEXT"},
      {"COUNTER", {type::kLong, 4}, "LONG"},
      {"GUID", {type::kGuid, 16}, "GUID"},
      {"DECIMAL(18,4)", {type::kDecimal, 17, 18, 4}, "DECIMAL(18,4)"},
      {"DECIMAL", {type::kDecimal, 17}, "DECIMAL(18,0)"},
      {"INTEGER", {type::kLong, 4}, "LONG"},
      {"BIGINT", {type::kLong, 4}, "LONG"},
      {"VARCHAR(30)", {type::kText, 30}, "TEXT(30)"},
      {"TEXT", {type::kText, 255}, "TEXT(255)"},
      {"NVARCHAR(999)", {type::kText, 255}, "TEXT(255)"},
      {"CLOB", {type::kText, 255}, "TEXT(255)"},
      {"REAL", {type::kDouble, 8}, "DOUBLE"},
      {"FLOAT", {type::kDouble, 8}, "DOUBLE"},
      {"BOOLEAN", {type::kBoolean, 1}, "BIT"},
      {"DATE", {type::kDate, 8}, "DATETIME"},
      {"BLOB", {type::kLongBinary, 0}, "LONGBINARY"},
      {"", {type::kLongBinary, 0}, "LONGBINARY"},
      {"NUMERIC", {type::kDouble, 8}, "DOUBLE"},
  };
  for (const auto& [declared, field, created] : cases) {
    EXPECT_EQ(FieldTypeOf(declared), field) << declared;
    EXPECT_EQ(DeclaredTypeOf(field), created) << declared;
  }
  // SQLite keeps texts alone in these, and a number put in as its text.
  for (const char* declared : {"TEXT(50)", "longtext", "NVARCHAR(9)", "CLOB"}) {
    EXPECT_TRUE(HasTextAffinity(declared)) << declared;
  }
  for (const char* declared : {"GUID", "LONG", "TEXT(5) INT", "BLOB", ""}) {
    EXPECT_FALSE(HasTextAffinity(declared)) << declared;
  }
}

// What a value becomes in a field, as the engine converts on assignment, or
// the failure it raises (its number in place of the value).
TEST(FieldTypeTest, ValuesAreConvertedAsTheyAreStored) {
  const std::tuple<Value, FieldType, std::variant<Value, int>> cases[] = {
      {Value::Boolean(true), {type::kBoolean, 1}, Value::Boolean(true)},
      {Value::Integer(5), {type::kBoolean, 1}, Value::Boolean(true)},
      {Value::Text("false"), {type::kBoolean, 1}, Value::Boolean(false)},
      {Value::Number(2.5), {type::kInteger, 2}, Value::Integer(2)},  // half to even
      {Value::Number(3.5), {type::kLong, 4}, Value::Integer(4)},
      {Value::Text(" 12"), {type::kLong, 4}, Value::Integer(12)},
      {Value::Boolean(true), {type::kInteger, 2}, Value::Integer(-1)},
      {Value::Number(0.1), {type::kSingle, 4}, Value::Number(static_cast<float>(0.1))},
      {Value::Integer(7), {type::kText, 10}, Value::Text("7")},
      {Value::Number(1.5), {type::kMemo, 0}, Value::Text("1.5")},
      {Value::Text("2024-02-29 13:45:59"), {type::kDate, 8}, Value::Date("2024-02-29 13:45:59")},
      {Value(), {type::kLong, 4}, Value()},
      {Value::Text(""), {type::kText, 5}, Value::Text("")},
      {Value::Text("äöü"), {type::kText, 3}, Value::Text("äöü")},
      {Value::Integer(256), {type::kByte, 1}, 3349},
      {Value::Integer(40000), {type::kInteger, 2}, 3349},
      {Value::Text("nan"), {type::kLong, 4}, 3349},
      {Value::Text("abc"), {type::kDouble, 8}, 3421},
      {Value::Text("äöü1"), {type::kText, 3}, 3163},
      {Value::Text("29.02.2024"), {type::kDate, 8}, 3421},
  };
  for (const auto& [in, field, out] : cases) {
    if (const Value* value = std::get_if<Value>(&out)) {
      EXPECT_EQ(ConvertForField(in, field), *value) << in.ToText();
    } else {
      EXPECT_EQ(FailureOf([&] { ConvertForField(in, field); }).number, std::get<int>(out))
          << in.ToText();
    }
  }
}

// A German desktop writes 2,5; the program's numbers keep their ".", in
// queries and fields alike. Where CMake built the German locale it says so
// (LOCPATH), and there it must be found.
TEST(ValueTest, NumbersAndTheirTextsIgnoreTheLocale) {
  const std::pair<double, const char*> to_text[] = {
      {5, "5"},       {-0.0, "0"},         {1.5, "1.5"},    {0.30000000000000004, "0.3"},
      {-2.5, "-2.5"}, {1.5e20, "1.5E+20"}, {1e-5, "1E-05"},
  };
  const std::pair<const char*, std::optional<double>> of_text[] = {
      {"5", 5},
      {" 1.5 ", 1.5},
      {"+3", 3},
      {"-0.25", -0.25},
      {"1e3", 1000},
      {"", {}},
      {"1,5", std::nullopt},
      {"abc", std::nullopt},
      {"5x", std::nullopt},
  };
  for (const char* locale : {"C", "de_DE.UTF-8"}) {
    if (std::setlocale(LC_NUMERIC, locale) == nullptr) {
      ASSERT_EQ(std::getenv("LOCPATH"), nullptr) << "the German locale was built but is not found";
      GTEST_SKIP() << "no German locale";
    }
    for (const auto& [number, text] : to_text) EXPECT_EQ(NumberToText(number), text) << locale;
    for (const auto& [text, number] : of_text)
      EXPECT_EQ(NumberOfText(text), number) << locale << text;
  }
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(Value::Boolean(true).ToText(), "True");
  EXPECT_EQ(Value().ToText(), "");
}

// Rows come back as they were added, every kind of value, also past the
// first megabyte of packed rows.
TEST(PackedRowsTest, RowsComeBackAsTheyWereAdded) {
  auto row = [](int i) {
    return std::vector<Value>{Value(),
                              Value::Boolean(i % 2 == 0),
                              Value::Integer(-i),
                              Value::Number(i + 0.5),
                              Value::Text(std::string(i % 70, 'x')),
                              Value::Date("2024-01-31 12:00:00")};
  };
  PackedRows rows;
  for (int i = 0; i < 40000; ++i) rows.Add(i % 1000 ? row(i) : std::vector<Value>());
  ASSERT_EQ(rows.size(), 40000u);
  for (int i : {0, 1, 999, 1000, 1001, 20000, 39999}) {
    EXPECT_EQ(rows.Row(i), i % 1000 ? row(i) : std::vector<Value>()) << i;
  }
}

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
  const char* const cases[] = {
      "SELECT P.* From P WHERE ((P.var_name)=\"unclosed)",
      "SELECT P.* From P WHERE P.a",
      "SELECT P.* From P WHERE (((P.offset_or_bitno)=));",
      "SELECT P.* From P WHERE (P.a=1",
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
  };
  for (const char* sql : cases) {
    EXPECT_EQ(FailureOf([&] {
                ShapeOfJetQuery(sql);  // as the shape of the query is taken first
                ParseJetQuery(sql);
              }).number,
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
    EXPECT_EQ(FailureOf([&] { ParseJetQuery(sql); }).number, 3360) << sql.substr(0, 60);
  }
  // Deep enough for anything the program builds.
  EXPECT_NO_THROW(ParseJetQuery(where + repeated("(", 50) + "P.a=1" + repeated(")", 50)));
}

}  // namespace
}  // namespace zc::db
