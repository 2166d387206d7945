#include "platform/ansi_text.h"

#include <gtest/gtest.h>

namespace zc::platform {
namespace {

TEST(AnsiTextTest, RoundTripsEveryWindows1252Character) {
  EXPECT_EQ(ToAnsi("ÄÖÜß€"), "\xC4\xD6\xDC\xDF\x80");
  EXPECT_EQ(FromAnsi("\xC4\xD6\xDC\xDF\x80"), "ÄÖÜß€");
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(ToAnsi(FromAnsi(all)), all);
}

TEST(AnsiTextTest, CharactersWithoutAnAnsiFormBecomeQuestionMarks) {
  EXPECT_EQ(ToAnsi("a\u4E2Db"), "a?b");  // CJK
  EXPECT_EQ(ToAnsi("x\xFFy"), "x?y");    // broken UTF-8
  EXPECT_EQ(ToAnsi("\xC3"), "?");        // cut sequence
}

TEST(AnsiTextTest, UpperCaseFollowsTheCodePage) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"abc", "ABC"}, {"straße", "STRAßE"}, {"äöüéÿ", "ÄÖÜÉŸ"},
      {"šœž", "ŠŒŽ"}, {"÷µ", "÷µ"},         {"m1 /x", "M1 /X"},
  };
  for (const Case& c : cases) EXPECT_EQ(UpperCase(c.in), c.out) << c.in;
  EXPECT_EQ(UpperCaseAnsi("\xE4\xFF\x9A"), "\xC4\x9F\x8A");
}

// The order of the database's text collation: a B-tree index relies on it.
TEST(AnsiTextTest, TextsCompareAsTheirUpperCasedFormsOrder) {
  const std::tuple<const char*, const char*, int> cases[] = {
      {"var_1", "VAR_1", 0}, {"a", "B", -1},       {"ab", "a", 1},
      {"äpfel", "ÄPFEL", 0}, {"Zug", "äpfel", -1}, {"x_\xC3", "X_\xC3", 0}};
  for (auto [a, b, order] : cases) EXPECT_EQ(CompareIgnoringCase(a, b), order) << a << " " << b;
}

TEST(AnsiTextTest, BrokenUtf8KeepsItsBytesInCaseMapping) {
  // Overlong forms and codes past U+10FFFF: decoded, they would be written
  // back shorter, and positions found in an upper-cased text would shift.
  for (const char* broken :
       {"\xC1\xB7", "\xE0\x81\xA1", "\xF0\x80\x81\xA1", "\xF4\x90\x80\x80", "\xF8\x80\x80\x80"}) {
    std::string text = std::string("x") + broken + "y";
    EXPECT_EQ(UpperCase(text).size(), text.size()) << text;
    EXPECT_EQ(CompareIgnoringCase(text, UpperCase(text)), 0) << text;
  }
  EXPECT_EQ(UpperCase("\xC1\xB7w"), "\xC1\xB7W");
  EXPECT_EQ(ToAnsi("\xC1\xB7"), "?");
}

}  // namespace
}  // namespace zc::platform
