// The writing half of values.h: what a value of each kind looks like stored.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "jet/values.h"

namespace zc::jet {
namespace {

using Magnitude = unsigned __int128;

// |value| * 10^scale as an integer, rounded half away from zero, worked out
// on the shortest decimal text of the double so that 0.1 stays 0.1.
Magnitude ScaledMagnitude(double value, int scale, int max_digits) {
  if (!std::isfinite(value)) DoesNotFit("a number that is not finite");
  char text[64];
  auto [end, error] =
      std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific);
  const std::string scientific(text, end);
  const std::size_t e = scientific.find('e');
  std::string digits = scientific.substr(0, e);
  if (digits.size() > 1) digits.erase(1, 1);  // the decimal point
  const int exponent = std::stoi(scientific.substr(e + 1));
  int shift = exponent - static_cast<int>(digits.size()) + 1 + scale;
  bool round_up = false;
  if (shift < 0) {
    const std::size_t keep =
        static_cast<std::size_t>(std::max(0, static_cast<int>(digits.size()) + shift));
    round_up = keep < digits.size() && digits[keep] >= '5';
    digits.resize(keep);
    shift = 0;
  }
  Magnitude magnitude = 0;
  int count = 0;
  for (char c : digits + std::string(static_cast<std::size_t>(shift), '0')) {
    if (++count > 38) DoesNotFit("a number too large for its field");
    magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
  }
  if (round_up) ++magnitude;
  Magnitude limit = 1;
  for (int i = 0; i < max_digits; ++i) limit *= 10;
  if (magnitude >= limit) DoesNotFit("a number too large for its field");
  return magnitude;
}

std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto year_of_era = static_cast<unsigned>(year - era * 400);
  const unsigned day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + static_cast<std::int64_t>(day_of_era) - 719468;
}

unsigned HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  DoesNotFit("a GUID that is not hexadecimal");
}

}  // namespace

Blob CurrencyBytes(double value) {
  // The largest currency amount is 922337203685477.5807; as a double it rounds
  // just beyond, so the limit itself is accepted.
  constexpr Magnitude kMax = 9223372036854775807ULL;
  Magnitude magnitude = ScaledMagnitude(value, 4, 20);
  // The extreme amounts are not exact as doubles and round just beyond.
  const Magnitude limit = value < 0 ? kMax + 1 : kMax;
  if (magnitude > limit) {
    if (magnitude - limit > 10000) DoesNotFit("a currency amount out of range");
    magnitude = limit;
  }
  const std::uint64_t units = value < 0 ? ~static_cast<std::uint64_t>(magnitude) + 1
                                        : static_cast<std::uint64_t>(magnitude);
  Blob bytes(8);
  Put64(bytes, 0, units);
  return bytes;
}

Blob DecimalBytes(double value, int precision, int scale) {
  if (precision < 1 || precision > 28 || scale < 0 || scale > precision) {
    DoesNotFit("a decimal field of precision " + std::to_string(precision) + " and scale " +
               std::to_string(scale));
  }
  const Magnitude magnitude = ScaledMagnitude(value, scale, precision);
  Blob bytes(17, 0);
  bytes[0] = value < 0 && magnitude != 0 ? 0x80 : 0x00;
  // Four little-endian 32-bit words, the most significant first.
  for (std::size_t word = 0; word < 4; ++word) {
    Put32(bytes, 1 + 4 * word, static_cast<std::uint32_t>(magnitude >> (32 * (3 - word))));
  }
  return bytes;
}

double DateDays(const std::string& text) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  char end = 0;
  const int fields = std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day,
                                 &hour, &minute, &second, &end);
  if ((fields != 3 && fields != 6) || month < 1 || month > 12 || day < 1 || day > 31 ||
      year < 100 || hour > 23 || minute > 59 || second > 59 || hour < 0 || minute < 0 ||
      second < 0) {
    DoesNotFit("a date that is not of the form YYYY-MM-DD HH:MM:SS: \"" + text + "\"");
  }
  const std::int64_t days = DaysFromCivil(year, static_cast<unsigned>(month),
                                          static_cast<unsigned>(day)) +
                            25569;  // 1970-01-01 is Jet day 25569
  const double time = (hour * 3600 + minute * 60 + second) / 86400.0;
  // Before 1899-12-30 the time of day still counts forward from midnight.
  return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

Blob GuidBytes(const std::string& text) {
  std::string hex;
  for (char c : text) {
    if (c != '{' && c != '}' && c != '-') hex += c;
  }
  if (hex.size() != 32) DoesNotFit("a GUID that is not 32 hexadecimal digits: \"" + text + "\"");
  Blob bytes(16);
  for (std::size_t i = 0; i < 16; ++i) {
    bytes[i] = static_cast<std::uint8_t>(HexDigit(hex[2 * i]) << 4 | HexDigit(hex[2 * i + 1]));
  }
  // The first three groups are little-endian numbers.
  std::swap(bytes[0], bytes[3]);
  std::swap(bytes[1], bytes[2]);
  std::swap(bytes[4], bytes[5]);
  std::swap(bytes[6], bytes[7]);
  return bytes;
}

}  // namespace zc::jet
