#include "presets/db/field_type.h"

#include <gtest/gtest.h>

#include <clocale>

#include "errors/failure.h"

namespace zc::db {
namespace {

TEST(FieldTypeTest, DeclaredTypesCarryTypeAndSize) {
  struct Case {
    const char* declared;
    std::int16_t type;
    std::int32_t size;
    const char* created;  // what a field of that type and size is created as
  } cases[] = {
      {"BIT", type::kBoolean, 1, "BIT"},
      {"BYTE", type::kByte, 1, "BYTE"},
      {"SHORT", type::kInteger, 2, "SHORT"},
      {"LONG", type::kLong, 4, "LONG"},
      {"CURRENCY", type::kCurrency, 8, "CURRENCY"},
      {"SINGLE", type::kSingle, 4, "SINGLE"},
      {"DOUBLE", type::kDouble, 8, "DOUBLE"},
      {"DATETIME", type::kDate, 8, "DATETIME"},
      {"TEXT(50)", type::kText, 50, "TEXT(50)"},
      {"text(1)", type::kText, 1, "TEXT(1)"},
      {"TEXT(255)", type::kText, 255, "TEXT(255)"},
      {"LONGBINARY", type::kLongBinary, 0, "LONGBINARY"},
      {"LONGTEXT", type::kMemo, 0, "LONGTEXT"},
      {"COUNTER", type::kLong, 4, "LONG"},
      {"GUID", type::kGuid, 16, "GUID"},
      {"DECIMAL(18,4)", type::kDecimal, 17, "DECIMAL(18,0)"},
  };
  for (const Case& c : cases) {
    FieldType field = FieldTypeOf(c.declared);
    EXPECT_EQ(field, (FieldType{c.type, c.size})) << c.declared;
    EXPECT_EQ(DeclaredTypeOf(field), c.created) << c.declared;
  }
}

TEST(FieldTypeTest, ForeignDeclaredTypesFollowSqliteAffinity) {
  struct Case {
    const char* declared;
    FieldType field;
  } cases[] = {
      {"INTEGER", {type::kLong, 4}},         {"BIGINT", {type::kLong, 4}},
      {"VARCHAR(30)", {type::kText, 30}},    {"TEXT", {type::kText, 255}},
      {"NVARCHAR(999)", {type::kText, 255}}, {"CLOB", {type::kText, 255}},
      {"REAL", {type::kDouble, 8}},          {"FLOAT", {type::kDouble, 8}},
      {"BOOLEAN", {type::kBoolean, 1}},      {"DATE", {type::kDate, 8}},
      {"BLOB", {type::kLongBinary, 0}},      {"", {type::kLongBinary, 0}},
      {"NUMERIC", {type::kDouble, 8}},
  };
  for (const Case& c : cases) EXPECT_EQ(FieldTypeOf(c.declared), c.field) << c.declared;
}

TEST(FieldTypeTest, ValuesAreConvertedAsTheyAreStored) {
  struct Case {
    Value in;
    FieldType field;
    Value out;
  } cases[] = {
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
  };
  for (const Case& c : cases) EXPECT_EQ(ConvertForField(c.in, c.field), c.out) << c.in.ToText();
}

TEST(FieldTypeTest, ImpossibleValuesFailLikeTheEngine) {
  struct Case {
    Value in;
    FieldType field;
    int number;
  } cases[] = {
      {Value::Integer(256), {type::kByte, 1}, 3349},
      {Value::Integer(40000), {type::kInteger, 2}, 3349},
      {Value::Text("nan"), {type::kLong, 4}, 3349},
      {Value::Text("abc"), {type::kDouble, 8}, 3421},
      {Value::Text("äöü1"), {type::kText, 3}, 3163},
      {Value::Text("29.02.2024"), {type::kDate, 8}, 3421},
  };
  for (const Case& c : cases) {
    try {
      ConvertForField(c.in, c.field);
      ADD_FAILURE() << c.in.ToText() << " was accepted";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number, c.number) << c.in.ToText();
    }
  }
  EXPECT_EQ(ConvertForField(Value::Text("äöü"), {type::kText, 3}), Value::Text("äöü"));
}

TEST(ValueTest, NumbersAsTextIgnoreTheLocale) {
  // A German desktop writes 2,5; the program's numbers keep their ".".
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string restore = previous ? previous : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
  EXPECT_EQ(NumberToText(2.5), "2.5");
  EXPECT_EQ(NumberOfText(" 2.5 "), 2.5);
  EXPECT_EQ(NumberOfText("2,5"), std::nullopt);
  std::setlocale(LC_NUMERIC, restore.c_str());
}

TEST(ValueTest, TextsThatAreNumbers) {
  struct Case {
    const char* text;
    std::optional<double> number;
  } cases[] = {{"5", 5},
               {" 1.5 ", 1.5},
               {"+3", 3},
               {"-0.25", -0.25},
               {"1e3", 1000},
               {"", std::nullopt},
               {"1,5", std::nullopt},
               {"abc", std::nullopt},
               {"5x", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(NumberOfText(c.text), c.number) << c.text;
}

TEST(ValueTest, NumbersAsText) {
  EXPECT_EQ(NumberToText(5), "5");
  EXPECT_EQ(NumberToText(-0.0), "0");
  EXPECT_EQ(NumberToText(1.5), "1.5");
  EXPECT_EQ(NumberToText(0.30000000000000004), "0.3");
  EXPECT_EQ(NumberToText(1.5e20), "1.5E+20");
  EXPECT_EQ(NumberToText(1e-5), "1E-05");
  EXPECT_EQ(Value::Boolean(true).ToText(), "True");
  EXPECT_EQ(Value().ToText(), "");
}

}  // namespace
}  // namespace zc::db
