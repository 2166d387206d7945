#include "jet/cell_encoder.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "jet/text.h"

namespace zc::jet {
namespace {

double NumberOf(const Value& value) {
  if (const auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&value)) return *d;
  if (const auto* s = std::get_if<std::string>(&value)) {
    double number = 0;
    const char* end = s->data() + s->size();
    if (std::from_chars(s->data(), end, number).ptr == end && !s->empty()) return number;
    DoesNotFit("the text \"" + *s + "\" where a number belongs");
  }
  DoesNotFit("binary data where a number belongs");
}

std::int64_t WholeNumber(const Value& value, std::int64_t low, std::int64_t high) {
  if (const auto* i = std::get_if<std::int64_t>(&value)) {
    if (*i < low || *i > high) DoesNotFit(std::to_string(*i) + " is out of the field's range");
    return *i;
  }
  const double number = std::nearbyint(NumberOf(value));
  if (!(number >= static_cast<double>(low) && number <= static_cast<double>(high))) {
    DoesNotFit("a number out of the field's range");
  }
  return static_cast<std::int64_t>(number);
}

std::string TextOf(const Value& value) {
  if (const auto* s = std::get_if<std::string>(&value)) return *s;
  if (const auto* i = std::get_if<std::int64_t>(&value)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&value)) {
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, *d);
    return std::string(text, result.ptr);
  }
  const Blob& blob = std::get<Blob>(value);
  return std::string(blob.begin(), blob.end());
}

// The low `size` bytes of `bits`, least significant first, into `out`.
void Little(std::uint64_t bits, std::size_t size, Blob& out) {
  out.resize(size);
  for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

void TextBytes(const Column& column, const Value& value, bool jet4, Blob& out) {
  std::string converted;
  const auto* held = std::get_if<std::string>(&value);
  const std::string& text = held ? *held : (converted = TextOf(value));
  if (column.type == column_type::kText) {
    const std::size_t limit = jet4 ? column.length / 2u : column.length;
    if (TextLength(text, jet4) > limit) {
      DoesNotFit("a text of " + std::to_string(TextLength(text, jet4)) + " characters where " +
                 std::to_string(limit) + " fit");
    }
  }
  EncodeText(text, jet4, (column.extra_flags & column_flag::kCompressedUnicode) != 0, out);
}

Blob BinaryBytes(const Column& column, const Value& value) {
  if (const auto* blob = std::get_if<Blob>(&value)) {
    if (column.type == column_type::kBinary && blob->size() > column.length) {
      DoesNotFit("binary data longer than its field");
    }
    return *blob;
  }
  const std::string text = TextOf(value);
  return Blob(text.begin(), text.end());
}

double DaysOf(const Value& value) {
  return std::holds_alternative<std::string>(value) ? DateDays(std::get<std::string>(value))
                                                    : NumberOf(value);
}

}  // namespace

bool BooleanOf(const Value& value) {
  if (std::holds_alternative<std::monostate>(value)) return false;
  if (const auto* s = std::get_if<std::string>(&value)) return !s->empty() && *s != "0";
  if (std::holds_alternative<Blob>(value)) return true;
  return NumberOf(value) != 0;
}

void EncodeCell(const Column& column, const Value& value, bool jet4, Blob& out) {
  switch (column.type) {
    case column_type::kByte:
      return Little(static_cast<std::uint64_t>(WholeNumber(value, 0, 255)), 1, out);
    case column_type::kInteger:
      return Little(static_cast<std::uint64_t>(WholeNumber(value, -32768, 32767)), 2, out);
    case column_type::kLong:
      return Little(static_cast<std::uint64_t>(WholeNumber(value, INT32_MIN, INT32_MAX)), 4, out);
    case column_type::kCurrency:
      out = CurrencyBytes(NumberOf(value));
      return;
    case column_type::kSingle: {
      const double number = NumberOf(value);
      if (std::isfinite(number) && std::fabs(number) > std::numeric_limits<float>::max()) {
        DoesNotFit("a number too large for a Single field");
      }
      return Little(std::bit_cast<std::uint32_t>(static_cast<float>(number)), 4, out);
    }
    case column_type::kDouble:
      return Little(std::bit_cast<std::uint64_t>(NumberOf(value)), 8, out);
    case column_type::kDate:
      return Little(std::bit_cast<std::uint64_t>(DaysOf(value)), 8, out);
    case column_type::kText:
    case column_type::kMemo:
      return TextBytes(column, value, jet4, out);
    case column_type::kBinary:
    case column_type::kLongBinary:
      out = BinaryBytes(column, value);
      return;
    case column_type::kGuid:
      out = GuidBytes(TextOf(value));
      return;
    case column_type::kDecimal:
      out = DecimalBytes(NumberOf(value), column.precision, column.scale);
      return;
    default:
      DoesNotFit("a field of a type this program cannot write (code " +
                 std::to_string(column.type) + ")");
  }
}

Blob EncodeCell(const Column& column, const Value& value, bool jet4) {
  Blob out;
  EncodeCell(column, value, jet4, out);
  return out;
}

}  // namespace zc::jet
