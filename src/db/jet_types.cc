#include "db/jet_types.h"

#include <algorithm>

#include "db/field_type.h"
#include "platform/ansi_text.h"

namespace zc::db {
namespace {

struct Pair {
  jet::DataType jet;
  std::int16_t number;
};

// A Counter is a Long whose declared type says so; a short binary field reads
// as Long Binary, the one binary type the procedures know.
constexpr Pair kPairs[] = {
    {jet::DataType::kBoolean, type::kBoolean},
    {jet::DataType::kByte, type::kByte},
    {jet::DataType::kInteger, type::kInteger},
    {jet::DataType::kLong, type::kLong},
    {jet::DataType::kCounter, type::kLong},
    {jet::DataType::kCurrency, type::kCurrency},
    {jet::DataType::kSingle, type::kSingle},
    {jet::DataType::kDouble, type::kDouble},
    {jet::DataType::kDate, type::kDate},
    {jet::DataType::kText, type::kText},
    {jet::DataType::kLongBinary, type::kLongBinary},
    {jet::DataType::kBinary, type::kLongBinary},
    {jet::DataType::kMemo, type::kMemo},
    {jet::DataType::kGuid, type::kGuid},
    {jet::DataType::kDecimal, type::kDecimal},
};

constexpr const char* kCounter = "COUNTER";

}  // namespace

std::string DeclaredType(const jet::Field& field) {
  if (field.type == jet::DataType::kCounter) return kCounter;
  const auto pair = std::find_if(std::begin(kPairs), std::end(kPairs),
                                 [&](const Pair& p) { return p.jet == field.type; });
  // A damaged file may give a text no characters; the declared type still needs one.
  return DeclaredTypeOf({pair->number, std::clamp(field.size, 1, 255),
                         static_cast<std::int16_t>(field.precision),
                         static_cast<std::int16_t>(field.scale)});
}

jet::Field JetFieldOf(const std::string& name, std::string_view declared) {
  const FieldType field = FieldTypeOf(declared);
  jet::Field jet_field{name, jet::DataType::kDouble, field.size};
  for (const Pair& pair : kPairs) {
    if (pair.number == field.type) {
      jet_field.type = pair.jet;
      break;
    }
  }
  if (jet_field.type == jet::DataType::kDecimal) {
    jet_field.precision = field.precision;
    jet_field.scale = field.scale;
  }
  if (platform::UpperCase(declared) == kCounter) jet_field.type = jet::DataType::kCounter;
  return jet_field;
}

}  // namespace zc::db
