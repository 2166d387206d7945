// The stored bytes of Access (Jet 3 / Jet 4) field values and the forms our
// SQLite databases keep: numbers, ISO date text and GUID text, both ways.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "jet/bytes.h"

namespace zc::jet {

// A field value as it is stored: Null, an integer (Boolean 0 / -1, Byte,
// Integer, Long, AutoNumber), a real (Currency, Single, Double, Decimal), text
// (Text, Memo, Date, GUID) or binary data (OLE object, Binary).
using Value = std::variant<std::monostate, std::int64_t, double, std::string, Blob>;

std::int64_t ReadInt16(Bytes bytes);
std::int64_t ReadInt32(Bytes bytes);
// The four bytes of a Single, widened exactly to double.
double ReadSingle(Bytes bytes);
double ReadDouble(Bytes bytes);
// Currency: a 64-bit integer of ten-thousandths, as the double nearest to the
// exact decimal value.
double ReadCurrency(Bytes bytes);
// Decimal: a sign byte and a 128-bit magnitude, as the double nearest to the
// exact decimal value with `scale` digits after the point.
double ReadDecimal(Bytes bytes, int scale);
// "{6B29FC40-CA47-1067-B31D-00DD010662DA}" from the 16 stored bytes.
std::string ReadGuid(Bytes bytes);

// A Jet date (days since 1899-12-30, the fraction's magnitude the time of day)
// as "YYYY-MM-DD HH:MM:SS", rounded to the second. Throws Error (kDamaged)
// outside 0100-01-01 .. 9999-12-31 23:59:59.
std::string DateText(double days);

// The other way round, for writing. Each throws Error (kDoesNotFit) for a
// value its field cannot hold.
// Ten-thousandths, rounded half away from zero.
Blob CurrencyBytes(double value);
// A sign byte and the magnitude scaled by 10^scale, at most `precision` digits.
Blob DecimalBytes(double value, int precision, int scale);
// "YYYY-MM-DD HH:MM:SS" (the time may be left out) as a Jet day count.
double DateDays(const std::string& text);
// "{6B29FC40-CA47-1067-B31D-00DD010662DA}", braces optional.
Blob GuidBytes(const std::string& text);

}  // namespace zc::jet
