#include "jet/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "jet/text.h"

namespace zc::jet {
namespace {

Blob LittleEndianBytes(std::uint64_t value, std::size_t count) {
  Blob bytes;
  for (std::size_t i = 0; i < count; ++i)
    bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return bytes;
}

// Day counts as Access means them, and none outside its range (nullptr).
TEST(JetDateTest, DayCountsBecomeIsoText) {
  const std::pair<double, const char*> cases[] = {
      {0.0, "1899-12-30 00:00:00"},
      {1.5, "1899-12-31 12:00:00"},
      {-0.5, "1899-12-30 12:00:00"},  // before day 0 the fraction still counts forward
      {-1.25, "1899-12-29 06:00:00"},
      {-18260.25, "1850-01-01 06:00:00"},
      {60.0, "1900-02-28 00:00:00"},
      {61.0, "1900-03-01 00:00:00"},
      {45351.0 + (13 * 3600 + 45 * 60 + 59) / 86400.0, "2024-02-29 13:45:59"},
      {2.0 + 86399.6 / 86400.0, "1900-01-02 00:00:00"},  // rounds up to the next midnight
      {-1.0 - 86399.6 / 86400.0, "1899-12-30 00:00:00"},
      {1000000.0, "4637-11-26 00:00:00"},  // beyond what libmdb's own dates reach
      {2958465.0 + 86399.0 / 86400.0, "9999-12-31 23:59:59"},
      {-657434.0, "0100-01-01 00:00:00"},
      {2958466.0, nullptr},
      {-657435.0, nullptr},
      {1e300, nullptr},
      {std::nan(""), nullptr},
  };
  for (const auto& [days, text] : cases) {
    if (text) {
      EXPECT_EQ(DateText(days), text) << days;
    } else {
      EXPECT_THROW(DateText(days), std::runtime_error) << days;
    }
  }
}

// The extremes of Currency, and a Decimal larger than 2^96 with a scale: the
// nearest double to the exact value.
TEST(JetNumberTest, CurrencyAndDecimalAreTheNearestDoubleToTheExactValue) {
  EXPECT_EQ(ReadCurrency(LittleEndianBytes(std::numeric_limits<std::int64_t>::max(), 8)),
            922337203685477.5807);
  EXPECT_EQ(ReadCurrency(LittleEndianBytes(std::numeric_limits<std::int64_t>::min(), 8)),
            -922337203685477.5808);
  EXPECT_EQ(ReadCurrency(LittleEndianBytes(static_cast<std::uint64_t>(-1), 8)), -0.0001);
  // 2^96 + 5 with scale 2, negative: words (1, 0, 0, 5), most significant first.
  Blob bytes = {0x80, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0};
  EXPECT_EQ(ReadDecimal(bytes, 2), -792281625142643375935439503.41);
  EXPECT_THROW(ReadDecimal(Blob(16), 0), std::runtime_error);
}

TEST(JetTextTest, StoredTextBecomesUtf8) {
  struct Case {
    const char* name;
    Blob bytes;
    bool jet4;
    std::string text;
  };
  const Case cases[] = {
      {"UTF-16", {'G', 0, 0xFC, 0, 0xAC, 0x20}, true, "G\xC3\xBC\xE2\x82\xAC"},
      {"compressed", {0xFF, 0xFE, 'a', 'b', 0xFC}, true, "ab\xC3\xBC"},
      {"compressed then not",
       {0xFF, 0xFE, 'a', 0, 0xAC, 0x20, 0, 'b'},
       true,
       "a\xE2\x82\xAC"
       "b"},
      {"surrogate pair", {0x3D, 0xD8, 0x00, 0xDE}, true, "\xF0\x9F\x98\x80"},
      {"lone surrogate", {0x3D, 0xD8, 'x', 0}, true, "\xEF\xBF\xBDx"},
      {"empty", {}, true, ""},
      {"Jet 3 code page", {'a', 0x80, 0xE9}, false, "a\xE2\x82\xAC\xC3\xA9"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeText(c.bytes, c.jet4), c.text) << c.name;
}

}  // namespace
}  // namespace zc::jet
