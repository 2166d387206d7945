#include "db/field_type.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "db/db_failure.h"
#include "platform/ansi_text.h"

namespace zc::db {
namespace {

struct Named {
  std::string_view name;
  FieldType field;
};

constexpr Named kExact[] = {
    {"BIT", {type::kBoolean, 1}},           {"BYTE", {type::kByte, 1}},
    {"SHORT", {type::kInteger, 2}},         {"LONG", {type::kLong, 4}},
    {"CURRENCY", {type::kCurrency, 8}},     {"SINGLE", {type::kSingle, 4}},
    {"DOUBLE", {type::kDouble, 8}},         {"DATETIME", {type::kDate, 8}},
    {"LONGBINARY", {type::kLongBinary, 0}}, {"LONGTEXT", {type::kMemo, 0}},
    {"COUNTER", {type::kLong, 4}},          {"GUID", {type::kGuid, 16}},
};

// The number inside "(n)" or "(p,s)", -1 when there is none.
int FirstNumberInParentheses(std::string_view text) {
  auto open = text.find('(');
  if (open == std::string_view::npos) return -1;
  return std::atoi(std::string(text.substr(open + 1)).c_str());
}

FieldType ByAffinity(const std::string& upper) {
  auto has = [&](const char* part) { return upper.find(part) != std::string::npos; };
  if (has("INT")) return {type::kLong, 4};
  if (has("CHAR") || has("CLOB") || has("TEXT")) {
    int size = FirstNumberInParentheses(upper);
    return {type::kText, size >= 1 && size <= 255 ? size : 255};
  }
  if (has("REAL") || has("FLOA") || has("DOUB")) return {type::kDouble, 8};
  if (has("BOOL")) return {type::kBoolean, 1};
  if (has("DATE") || has("TIME")) return {type::kDate, 8};
  if (upper.empty() || has("BLOB")) return {type::kLongBinary, 0};
  return {type::kDouble, 8};
}

[[noreturn]] void ConversionError() {
  Fail(code::kConversion, "Data type conversion error.", source::kField);
}

double NumberOf(const Value& value) {
  if (!value.IsText()) return value.AsNumber();
  std::optional<double> number = NumberOfText(value.AsText());
  if (!number) ConversionError();
  return *number;
}

Value WholeNumber(double number, double low, double high) {
  double rounded = std::nearbyint(number);     // round half to even, as the engine does
  if (!(rounded >= low && rounded <= high)) {  // a text reading "nan" does not fit either
    Fail(code::kNumericOverflow, "Numeric field overflow.", source::kField);
  }
  return Value::Integer(static_cast<std::int64_t>(rounded));
}

Value ToBoolean(const Value& value) {
  if (value.IsText()) {
    std::string upper = platform::UpperCase(value.AsText());
    if (upper == "TRUE" || upper == "YES" || upper == "ON") return Value::Boolean(true);
    if (upper == "FALSE" || upper == "NO" || upper == "OFF") return Value::Boolean(false);
  }
  return Value::Boolean(NumberOf(value) != 0);
}

Value ToText(Value value, FieldType field) {
  if (!value.IsText()) value = Value::Text(value.ToText());
  const std::string& text = value.AsText();
  if (field.type == type::kText) {
    size_t characters = 0;
    for (unsigned char c : text) characters += (c & 0xC0) != 0x80;
    if (characters > static_cast<size_t>(field.size)) {
      Fail(code::kFieldTooSmall,
           "The field is too small to accept the amount of data you attempted to add. Try "
           "inserting or pasting less data.",
           source::kField);
    }
  }
  return value;
}

Value ToDate(const Value& value) {
  const std::string& text = value.AsText();
  bool iso = text.size() == 19 && text[4] == '-' && text[7] == '-' && text[10] == ' ' &&
             text[13] == ':' && text[16] == ':';
  if (!iso) ConversionError();
  return Value::Date(text);
}

}  // namespace

FieldType FieldTypeOf(std::string_view declared) {
  std::string upper = platform::UpperCase(declared);
  while (!upper.empty() && upper.back() == ' ') upper.pop_back();
  for (const Named& named : kExact) {
    if (upper == named.name) return named.field;
  }
  if (upper.rfind("TEXT(", 0) == 0) return {type::kText, FirstNumberInParentheses(upper)};
  if (upper.rfind("DECIMAL", 0) == 0) {
    int precision = 18, scale = 0;
    std::sscanf(upper.c_str(), "DECIMAL(%d,%d)", &precision, &scale);
    if (precision < 1 || precision > 28 || scale < 0 || scale > precision)
      precision = 18, scale = 0;
    return {type::kDecimal, 17, static_cast<std::int16_t>(precision),
            static_cast<std::int16_t>(scale)};
  }
  return ByAffinity(upper);
}

bool HasTextAffinity(std::string_view declared) {
  std::string upper = platform::UpperCase(declared);
  auto has = [&](const char* part) { return upper.find(part) != std::string::npos; };
  return !has("INT") && (has("CHAR") || has("CLOB") || has("TEXT"));
}

std::string DeclaredTypeOf(FieldType field) {
  if (field.type == type::kText) {
    if (field.size < 1 || field.size > 255) {
      Fail(code::kInvalidType, "Invalid field data type.", source::kField);
    }
    return "TEXT(" + std::to_string(field.size) + ")";
  }
  if (field.type == type::kDecimal) {
    return "DECIMAL(" + std::to_string(field.precision) + "," + std::to_string(field.scale) + ")";
  }
  for (const Named& named : kExact) {
    if (named.field.type == field.type && named.name != "COUNTER") return std::string(named.name);
  }
  Fail(code::kInvalidType, "Invalid field data type.", source::kField);
}

Value ConvertForField(Value value, FieldType field) {
  if (value.IsNull()) return value;
  switch (field.type) {
    case type::kBoolean:
      return ToBoolean(value);
    case type::kByte:
      return WholeNumber(NumberOf(value), 0, 255);
    case type::kInteger:
      return WholeNumber(NumberOf(value), -32768, 32767);
    case type::kLong:
      return WholeNumber(NumberOf(value), -2147483648.0, 2147483647.0);
    case type::kSingle:
      return Value::Number(static_cast<float>(NumberOf(value)));
    case type::kCurrency:
    case type::kDouble:
    case type::kDecimal:
      return Value::Number(NumberOf(value));
    case type::kDate:
      return value.kind() == Value::Kind::kDate ? value : ToDate(value);
    default:
      return ToText(std::move(value), field);
  }
}

}  // namespace zc::db
