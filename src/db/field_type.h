// Field data types. A column's declared type carries the type and its size,
// written as Jet SQL type names (TEXT(50), LONG, BIT, ...), so the files stay
// readable by any SQLite tool and the type survives a round trip.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "db/value.h"

namespace zc::db {

// Data type codes as the preset procedures know them.
namespace type {
constexpr std::int16_t kBoolean = 1;
constexpr std::int16_t kByte = 2;
constexpr std::int16_t kInteger = 3;
constexpr std::int16_t kLong = 4;
constexpr std::int16_t kCurrency = 5;
constexpr std::int16_t kSingle = 6;
constexpr std::int16_t kDouble = 7;
constexpr std::int16_t kDate = 8;
constexpr std::int16_t kText = 10;
constexpr std::int16_t kLongBinary = 11;
constexpr std::int16_t kMemo = 12;
constexpr std::int16_t kGuid = 15;
constexpr std::int16_t kDecimal = 20;
}  // namespace type

struct FieldType {
  std::int16_t type = type::kText;
  std::int32_t size = 255;
  // A Decimal field's digits in all and after the point.
  std::int16_t precision = 18, scale = 0;
  bool operator==(const FieldType&) const = default;
};

// The type a declared column type stands for; foreign declared types (from
// ordinary SQLite tools) map by SQLite's own affinity rules.
FieldType FieldTypeOf(std::string_view declared);

// True when SQLite gives a column of that declared type text affinity, by
// SQLite's own rules: it keeps every number put into it as a text.
bool HasTextAffinity(std::string_view declared);

// The declared type a created column gets. Raises "Invalid field data type."
// for a type the program cannot store.
std::string DeclaredTypeOf(FieldType field);

// What a value becomes when stored in a field of that type, as the engine
// converts on assignment. Raises conversion, overflow and size failures.
Value ConvertForField(Value value, FieldType field);

}  // namespace zc::db
