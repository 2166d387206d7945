#include "jet/field.h"

#include <array>
#include <stdexcept>

#include "jet/table_definition.h"

namespace zc::jet {
namespace {

constexpr TypeFacts kFacts[] = {
    {DataType::kBoolean, column_type::kBoolean, 1},
    {DataType::kByte, column_type::kByte, 1},
    {DataType::kInteger, column_type::kInteger, 2},
    {DataType::kLong, column_type::kLong, 4},
    {DataType::kCounter, column_type::kLong, 4},
    {DataType::kCurrency, column_type::kCurrency, 8},
    {DataType::kSingle, column_type::kSingle, 4},
    {DataType::kDouble, column_type::kDouble, 8},
    {DataType::kDate, column_type::kDate, 8},
    {DataType::kText, column_type::kText, 0},
    {DataType::kBinary, column_type::kBinary, 0},
    {DataType::kLongBinary, column_type::kLongBinary, 0},
    {DataType::kMemo, column_type::kMemo, 0},
    {DataType::kGuid, column_type::kGuid, 16},
    {DataType::kDecimal, column_type::kDecimal, 17},
};

}  // namespace

const TypeFacts& FactsOf(DataType type) {
  for (const TypeFacts& facts : kFacts) {
    if (facts.type == type) return facts;
  }
  throw std::logic_error("a field type without facts");
}

const TypeFacts* FactsOfCode(std::uint8_t code) {
  // Asked for every value of every row: the first entry of each code, found once.
  static const auto by_code = [] {
    std::array<const TypeFacts*, 256> table{};
    for (const TypeFacts& facts : kFacts) {
      if (table[facts.code] == nullptr) table[facts.code] = &facts;
    }
    return table;
  }();
  return by_code[code];
}

}  // namespace zc::jet
