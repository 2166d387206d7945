#include "presets/db/value.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace zc::db {

Value::Kind Value::kind() const {
  switch (v_.index()) {
    case 0:
      return Kind::kNull;
    case 1:
      return Kind::kBoolean;
    case 2:
    case 3:
      return Kind::kNumber;
    case 4:
      return Kind::kText;
    default:
      return Kind::kDate;
  }
}

bool Value::AsBoolean() const {
  if (auto* b = std::get_if<bool>(&v_)) return *b;
  return AsNumber() != 0;
}

double Value::AsNumber() const {
  if (auto* n = std::get_if<std::int64_t>(&v_)) return static_cast<double>(*n);
  if (auto* d = std::get_if<double>(&v_)) return *d;
  if (auto* b = std::get_if<bool>(&v_)) return *b ? -1 : 0;
  return 0;
}

std::int64_t Value::AsInteger() const {
  if (auto* n = std::get_if<std::int64_t>(&v_)) return *n;
  return static_cast<std::int64_t>(AsNumber());
}

const std::string& Value::AsText() const {
  static const std::string kEmpty;
  if (auto* s = std::get_if<std::string>(&v_)) return *s;
  if (auto* d = std::get_if<DateText>(&v_)) return d->iso;
  return kEmpty;
}

std::string Value::ToText() const {
  switch (v_.index()) {
    case 0:
      return "";
    case 1:
      return std::get<bool>(v_) ? "True" : "False";
    case 2:
      return std::to_string(std::get<std::int64_t>(v_));
    case 3:
      return NumberToText(std::get<double>(v_));
    default:
      return AsText();
  }
}

std::string NumberToText(double number) {
  if (number == 0) return "0";  // also -0
  if (std::isnan(number)) return "NaN";
  if (std::isinf(number)) return number < 0 ? "-Inf" : "Inf";
  if (std::trunc(number) == number && std::fabs(number) < 1e15) {
    return std::to_string(static_cast<std::int64_t>(number));
  }
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15G", number);
  std::string text = buffer;
  // Trailing zeros of the mantissa go, as in "1.5E+20" rather than "1.50000000000000E+20".
  auto exponent = text.find('E');
  std::string mantissa = text.substr(0, exponent);
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  return exponent == std::string::npos ? mantissa : mantissa + text.substr(exponent);
}

}  // namespace zc::db
