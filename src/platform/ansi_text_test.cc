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

}  // namespace
}  // namespace zc::platform
