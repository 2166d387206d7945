#include "db/value.h"

#include <charconv>
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
  auto written =
      std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, 15);
  std::string text(buffer, written.ptr);
  for (char& c : text) c = c == 'e' ? 'E' : c;  // "1.5E+20", as the program has always shown it
  return text;
}

std::optional<std::pair<double, size_t>> NumberAtStart(std::string_view text) {
  size_t skipped = !text.empty() && text[0] == '+' ? 1 : 0;  // from_chars takes "-" only
  double value = 0;
  auto [end, error] = std::from_chars(text.data() + skipped, text.data() + text.size(), value,
                                      std::chars_format::general);
  if (error != std::errc()) return std::nullopt;  // no number, or none a double holds
  return std::make_pair(value, static_cast<size_t>(end - text.data()));
}

std::optional<double> NumberOfText(std::string_view text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  size_t last = text.find_last_not_of(' ');
  std::string_view number = text.substr(first, last - first + 1);
  auto parsed = NumberAtStart(number);
  if (!parsed || parsed->second != number.size()) return std::nullopt;
  return parsed->first;
}

}  // namespace zc::db
