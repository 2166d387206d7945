#include "jet/values.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace zc::jet {
namespace {

// A stored value that cannot be one; the reader says where it lies.
[[noreturn]] void BadValue(const std::string& what) { throw Error(ErrorKind::kDamaged, what); }

std::uint64_t LittleEndian(Bytes bytes, std::size_t count) {
  if (bytes.size() < count) BadValue("field value too short");
  std::uint64_t value = 0;
  for (std::size_t i = count; i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

// The double nearest to a decimal number text such as "-12.3400"; from_chars
// rounds correctly and ignores the locale.
double NearestDouble(const std::string& decimal) {
  double value = 0;
  std::from_chars(decimal.data(), decimal.data() + decimal.size(), value);
  return value;
}

// "-123.4500" from the magnitude 1234500, scale 4 and the sign.
std::string DecimalText(unsigned __int128 magnitude, int scale, bool negative) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  } while (magnitude != 0);
  if (scale > 0) {
    if (digits.size() <= static_cast<std::size_t>(scale)) {
      digits.insert(0, static_cast<std::size_t>(scale) + 1 - digits.size(), '0');
    }
    digits.insert(digits.size() - static_cast<std::size_t>(scale), 1, '.');
  }
  return negative ? "-" + digits : digits;
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian calendar).
void CivilFromDays(std::int64_t days, std::int64_t& year, int& month, int& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t day_of_era = days - era * 146097;
  const std::int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const std::int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::int64_t month_index = (5 * day_of_year + 2) / 153;
  day = static_cast<int>(day_of_year - (153 * month_index + 2) / 5 + 1);
  month = static_cast<int>(month_index < 10 ? month_index + 3 : month_index - 9);
  year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace

std::int64_t ReadInt16(Bytes bytes) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(LittleEndian(bytes, 2)));
}

std::int64_t ReadInt32(Bytes bytes) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(LittleEndian(bytes, 4)));
}

double ReadSingle(Bytes bytes) {
  return std::bit_cast<float>(static_cast<std::uint32_t>(LittleEndian(bytes, 4)));
}

double ReadDouble(Bytes bytes) { return std::bit_cast<double>(LittleEndian(bytes, 8)); }

double ReadCurrency(Bytes bytes) {
  auto units = static_cast<std::int64_t>(LittleEndian(bytes, 8));
  bool negative = units < 0;
  // The magnitude of the smallest value does not fit the signed type.
  unsigned __int128 magnitude = negative ? static_cast<unsigned __int128>(-(units + 1)) + 1
                                         : static_cast<unsigned __int128>(units);
  return NearestDouble(DecimalText(magnitude, 4, negative));
}

double ReadDecimal(Bytes bytes, int scale) {
  if (bytes.size() < 17) BadValue("decimal value too short");
  if (scale < 0 || scale > 28) BadValue("decimal scale out of range");
  // Four little-endian 32-bit words, the most significant first.
  unsigned __int128 magnitude = 0;
  for (std::size_t word = 0; word < 4; ++word) {
    magnitude = (magnitude << 32) | LittleEndian(bytes.subspan(1 + 4 * word), 4);
  }
  return NearestDouble(DecimalText(magnitude, scale, (bytes[0] & 0x80) != 0));
}

std::string ReadGuid(Bytes bytes) {
  if (bytes.size() < 16) BadValue("GUID value too short");
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(LittleEndian(bytes, 4)),
                static_cast<unsigned>(LittleEndian(bytes.subspan(4), 2)),
                static_cast<unsigned>(LittleEndian(bytes.subspan(6), 2)), bytes[8], bytes[9],
                bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
  return text;
}

std::string DateText(double days) {
  // Beyond this the day count is not a Jet date at all.
  if (!std::isfinite(days) || std::fabs(days) > 3.0e6) {
    BadValue("a date outside the years 100 to 9999");
  }
  const double whole = std::trunc(days);
  auto day = static_cast<std::int64_t>(whole);
  auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(days - whole) * 86400.0));
  if (seconds >= 86400) {  // rounded up to the next midnight
    seconds -= 86400;
    ++day;
  }
  std::int64_t year = 0;
  int month = 0, day_of_month = 0;
  CivilFromDays(day - 25569, year, month, day_of_month);  // 1899-12-30 is day -25569
  if (year < 100 || year > 9999) BadValue("a date outside the years 100 to 9999");
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", static_cast<int>(year), month,
                day_of_month, static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                static_cast<int>(seconds % 60));
  return text;
}

}  // namespace zc::jet
