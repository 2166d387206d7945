// A field value as the preset procedures see it: Null, a Boolean, a number, a
// text or a date. Its kind follows the field's data type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace zc::db {

// A date as ISO text "YYYY-MM-DD HH:MM:SS".
struct DateText {
  std::string iso;
  bool operator==(const DateText&) const = default;
};

class Value {
 public:
  enum class Kind { kNull, kBoolean, kNumber, kText, kDate };

  Value() = default;
  static Value Boolean(bool b) { return Value(Storage(b)); }
  static Value Integer(std::int64_t n) { return Value(Storage(n)); }
  static Value Number(double n) { return Value(Storage(n)); }
  static Value Text(std::string s) { return Value(Storage(std::move(s))); }
  static Value Date(std::string iso) { return Value(Storage(DateText{std::move(iso)})); }

  Kind kind() const;
  bool IsNull() const { return std::holds_alternative<std::monostate>(v_); }
  bool IsText() const { return std::holds_alternative<std::string>(v_); }
  bool IsInteger() const { return std::holds_alternative<std::int64_t>(v_); }

  bool AsBoolean() const;             // numbers: non-zero is True
  double AsNumber() const;            // Booleans read -1 / 0
  std::int64_t AsInteger() const;     // exact for integers, truncated otherwise
  const std::string& AsText() const;  // text and dates; "" otherwise
  // The value written as text, as the program writes numbers: integers in
  // plain digits, other numbers with up to 15 significant digits; Null gives "".
  std::string ToText() const;

  bool operator==(const Value&) const = default;

 private:
  using Storage = std::variant<std::monostate, bool, std::int64_t, double, std::string, DateText>;
  explicit Value(Storage v) : v_(std::move(v)) {}
  Storage v_;
};

// A number as text the way the program shows numbers: "5", "1.5", "1E+20".
// Numbers are written and read with "." whatever the locale says: a
// German desktop must not turn 2.5 into "2,5" in a query or a field.
std::string NumberToText(double number);

// The number written at the start of `text` (digits, an optional fraction and
// exponent, a sign before it), and how many characters it takes; nullopt
// when no number starts there.
std::optional<std::pair<double, size_t>> NumberAtStart(std::string_view text);
// A whole text as a number, blanks around it allowed; nullopt otherwise.
std::optional<double> NumberOfText(std::string_view text);

}  // namespace zc::db
