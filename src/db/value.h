// A field value as the preset procedures see it: Null, a Boolean, a number, a
// text or a date. Its kind follows the field's data type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace zc::db {

class Value {
 public:
  enum class Kind { kNull, kBoolean, kNumber, kText, kDate };

  Value() = default;
  static Value Boolean(bool b) { return Whole(Tag::kBoolean, b ? 1 : 0); }
  static Value Integer(std::int64_t n) { return Whole(Tag::kInteger, n); }
  static Value Number(double n) {
    Value value;
    value.tag_ = Tag::kDouble;
    value.number_ = n;
    return value;
  }
  static Value Text(std::string s) { return Written(Tag::kText, std::move(s)); }
  // A date as ISO text "YYYY-MM-DD HH:MM:SS".
  static Value Date(std::string iso) { return Written(Tag::kDate, std::move(iso)); }

  Kind kind() const;
  bool IsNull() const { return tag_ == Tag::kNull; }
  bool IsText() const { return tag_ == Tag::kText; }
  bool IsInteger() const { return tag_ == Tag::kInteger; }

  bool AsBoolean() const;             // numbers: non-zero is True
  double AsNumber() const;            // Booleans read -1 / 0
  std::int64_t AsInteger() const;     // exact for integers, truncated otherwise
  const std::string& AsText() const;  // text and dates; "" otherwise
  // The value written as text, as the program writes numbers: integers in
  // plain digits, other numbers with up to 15 significant digits; Null gives "".
  std::string ToText() const;

  // Equal in kind and content: an integer never equals a fraction, nor a
  // text a date.
  bool operator==(const Value& other) const;

 private:
  // Held flat rather than in a std::variant: values are made, moved and
  // copied by the million in a run, and a move here is a few plain copies.
  enum class Tag : std::uint8_t { kNull, kBoolean, kInteger, kDouble, kText, kDate };
  static Value Whole(Tag tag, std::int64_t integer) {
    Value value;
    value.tag_ = tag;
    value.integer_ = integer;
    return value;
  }
  static Value Written(Tag tag, std::string text) {
    Value value;
    value.tag_ = tag;
    value.text_ = std::move(text);
    return value;
  }

  Tag tag_ = Tag::kNull;
  union {
    std::int64_t integer_ = 0;  // also a Boolean, as 1 or 0
    double number_;
  };
  std::string text_;  // of a text or a date
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
