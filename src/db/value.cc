#include "db/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace zc::db {

Value::Kind Value::kind() const {
  switch (tag_) {
    case Tag::kNull:
      return Kind::kNull;
    case Tag::kBoolean:
      return Kind::kBoolean;
    case Tag::kInteger:
    case Tag::kDouble:
      return Kind::kNumber;
    case Tag::kText:
      return Kind::kText;
    default:
      return Kind::kDate;
  }
}

bool Value::AsBoolean() const {
  if (tag_ == Tag::kBoolean) return integer_ != 0;
  return AsNumber() != 0;
}

double Value::AsNumber() const {
  switch (tag_) {
    case Tag::kInteger:
      return static_cast<double>(integer_);
    case Tag::kDouble:
      return number_;
    case Tag::kBoolean:
      return integer_ != 0 ? -1 : 0;
    default:
      return 0;
  }
}

std::int64_t Value::AsInteger() const {
  if (tag_ == Tag::kInteger) return integer_;
  return static_cast<std::int64_t>(AsNumber());
}

const std::string& Value::AsText() const {
  static const std::string kEmpty;
  return tag_ == Tag::kText || tag_ == Tag::kDate ? text_ : kEmpty;
}

std::string Value::ToText() const {
  switch (tag_) {
    case Tag::kNull:
      return "";
    case Tag::kBoolean:
      return integer_ != 0 ? "True" : "False";
    case Tag::kInteger:
      return std::to_string(integer_);
    case Tag::kDouble:
      return NumberToText(number_);
    default:
      return text_;
  }
}

bool Value::operator==(const Value& other) const {
  if (tag_ != other.tag_) return false;
  switch (tag_) {
    case Tag::kNull:
      return true;
    case Tag::kBoolean:
    case Tag::kInteger:
      return integer_ == other.integer_;
    case Tag::kDouble:
      return number_ == other.number_;
    default:
      return text_ == other.text_;
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
