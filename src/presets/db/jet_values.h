// Turns the raw bytes of Access (Jet 3 / Jet 4) field values into the forms
// our SQLite databases keep: numbers, ISO date text, GUID text and UTF-8.
// Everything here works on bytes alone, so it needs no Jet library.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace zc::jet {

using Bytes = std::span<const std::uint8_t>;

// A field value as it is stored: Null, an integer (Boolean 0 / -1, Byte,
// Integer, Long, AutoNumber), a real (Currency, Single, Double, Decimal), text
// (Text, Memo, Date, GUID) or binary data (OLE object, Binary).
using Blob = std::vector<std::uint8_t>;
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
// as "YYYY-MM-DD HH:MM:SS", rounded to the second. Throws std::runtime_error
// outside 0100-01-01 .. 9999-12-31 23:59:59.
std::string DateText(double days);

// Stored text as UTF-8: Jet 4 keeps UTF-16LE, optionally in its compressed
// form (a leading FF FE); Jet 3 keeps Windows-1252.
std::string DecodeText(Bytes bytes, bool jet4);

}  // namespace zc::jet
