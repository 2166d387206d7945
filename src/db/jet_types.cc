#include "db/jet_types.h"

#include <algorithm>

#include "db/field_type.h"
#include "platform/ansi_text.h"

namespace zc::db {
namespace {

struct Pair {
  jet::FieldType jet;
  std::int16_t number;
};

// A Counter is a Long whose declared type says so; a short binary field reads
// as Long Binary, the one binary type the procedures know.
constexpr Pair kPairs[] = {
    {jet::FieldType::kBoolean, type::kBoolean},
    {jet::FieldType::kByte, type::kByte},
    {jet::FieldType::kInteger, type::kInteger},
    {jet::FieldType::kLong, type::kLong},
    {jet::FieldType::kCounter, type::kLong},
    {jet::FieldType::kCurrency, type::kCurrency},
    {jet::FieldType::kSingle, type::kSingle},
    {jet::FieldType::kDouble, type::kDouble},
    {jet::FieldType::kDate, type::kDate},
    {jet::FieldType::kText, type::kText},
    {jet::FieldType::kLongBinary, type::kLongBinary},
    {jet::FieldType::kBinary, type::kLongBinary},
    {jet::FieldType::kMemo, type::kMemo},
    {jet::FieldType::kGuid, type::kGuid},
    {jet::FieldType::kDecimal, type::kDecimal},
};

constexpr const char* kCounter = "COUNTER";

}  // namespace

std::string DeclaredType(const jet::Field& field) {
  if (field.type == jet::FieldType::kCounter) return kCounter;
  const auto pair = std::find_if(std::begin(kPairs), std::end(kPairs),
                                 [&](const Pair& p) { return p.jet == field.type; });
  // A damaged file may give a text no characters; the declared type still needs one.
  return DeclaredTypeOf({pair->number, std::clamp(field.size, 1, 255),
                         static_cast<std::int16_t>(field.precision),
                         static_cast<std::int16_t>(field.scale)});
}

jet::Field JetFieldOf(const std::string& name, std::string_view declared) {
  const FieldType field = FieldTypeOf(declared);
  jet::Field jet_field{name, jet::FieldType::kDouble, field.size};
  for (const Pair& pair : kPairs) {
    if (pair.number == field.type) {
      jet_field.type = pair.jet;
      break;
    }
  }
  if (jet_field.type == jet::FieldType::kDecimal) {
    jet_field.precision = field.precision;
    jet_field.scale = field.scale;
  }
  if (platform::UpperCase(declared) == kCounter) jet_field.type = jet::FieldType::kCounter;
  return jet_field;
}

}  // namespace zc::db
