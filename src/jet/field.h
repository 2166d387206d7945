// A field as the program sees it, whichever Jet version stores it.
#pragma once

#include <string>

namespace zc::jet {

enum class FieldType {
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

struct Field {
  std::string name;
  FieldType type = FieldType::kLong;
  int size = 0;  // Text: characters
  int precision = 0;
  int scale = 0;
  bool operator==(const Field&) const = default;
};

}  // namespace zc::jet
