// A field as the program sees it, whichever Jet version stores it.
#pragma once

#include <cstdint>
#include <string>

namespace zc::jet {

enum class DataType {
  kBoolean,
  kByte,
  kInteger,
  kLong,
  kCounter,  // a Long AutoNumber
  kCurrency,
  kSingle,
  kDouble,
  kDate,
  kText,
  kBinary,
  kLongBinary,
  kMemo,
  kGuid,
  kDecimal,
};

// What a type is in a file: the code its column keeps and the bytes a value
// takes in a row's fixed part (0: kept among the variable-length values). A
// Boolean's value is its bit in the null mask; its column still says 1.
struct TypeFacts {
  DataType type;
  std::uint8_t code;
  std::uint16_t size;
};
const TypeFacts& FactsOf(DataType type);
// The type a column's code stands for (a Long, not a Counter: the column's
// flags tell that); nullptr for a code this program cannot read or write.
const TypeFacts* FactsOfCode(std::uint8_t code);

struct Field {
  std::string name;
  DataType type = DataType::kLong;
  int size = 0;  // Text: characters
  int precision = 0;
  int scale = 0;
  bool operator==(const Field&) const = default;
};

}  // namespace zc::jet
