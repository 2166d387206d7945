#include "jet/field.h"

#include <stdexcept>

#include "jet/table_def.h"

namespace zc::jet {
namespace {

constexpr TypeFacts kFacts[] = {
    {FieldType::kBoolean, column_type::kBoolean, 1},
    {FieldType::kByte, column_type::kByte, 1},
    {FieldType::kInteger, column_type::kInteger, 2},
    {FieldType::kLong, column_type::kLong, 4},
    {FieldType::kCounter, column_type::kLong, 4},
    {FieldType::kCurrency, column_type::kCurrency, 8},
    {FieldType::kSingle, column_type::kSingle, 4},
    {FieldType::kDouble, column_type::kDouble, 8},
    {FieldType::kDate, column_type::kDate, 8},
    {FieldType::kText, column_type::kText, 0},
    {FieldType::kBinary, column_type::kBinary, 0},
    {FieldType::kLongBinary, column_type::kLongBinary, 0},
    {FieldType::kMemo, column_type::kMemo, 0},
    {FieldType::kGuid, column_type::kGuid, 16},
    {FieldType::kDecimal, column_type::kDecimal, 17},
};

}  // namespace

const TypeFacts& FactsOf(FieldType type) {
  for (const TypeFacts& facts : kFacts) {
    if (facts.type == type) return facts;
  }
  throw std::logic_error("a field type without facts");
}

const TypeFacts* FactsOfCode(std::uint8_t code) {
  for (const TypeFacts& facts : kFacts) {
    if (facts.code == code) return &facts;
  }
  return nullptr;
}

}  // namespace zc::jet
