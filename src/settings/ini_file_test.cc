#include "settings/ini_file.h"

#include <gtest/gtest.h>

namespace zc::settings {
namespace {

constexpr std::string_view kFile =
    "; project settings\r\n"
    "[Project]\r\n"
    "  NumberOfMachines = 3  \r\n"
    "Quoted=\"  two words \"\r\n"
    "Single='x'\r\n"
    "Lonely=\"\r\n"
    ";Commented=1\r\n"
    "Twice=first\r\n"
    "Twice=second\r\n"
    "\r\n"
    "[machine1]\r\n"
    "MachineName=M1\r\n"
    "[Project]\r\n"
    "Late=ignored\r\n";

TEST(IniIndexTest, Table) {
  struct Case {
    const char* section;
    const char* entry;
    std::optional<std::string> value;
  } cases[] = {
      {"Project", "NumberOfMachines", "3"},  {"PROJECT", "numberofmachines", "3"},
      {"Project", "Quoted", "  two words "}, {"Project", "Single", "x"},
      {"Project", "Lonely", "\""},           {"Project", "Commented", std::nullopt},
      {"Project", "Twice", "first"},         {"Machine1", "MachineName", "M1"},
      {"Project", "Late", std::nullopt},  // only the first section of a name counts
      {"Project", "Missing", std::nullopt},  {"Missing", "MachineName", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IniIndex(kFile).Find(c.section, c.entry), c.value) << c.section << "/" << c.entry;
  }
}

TEST(SetIniValueTest, ChangesOnlyTheValueOfAnExistingEntry) {
  std::string changed(SetIniValue(kFile, "project", "NUMBEROFMACHINES", "12"));
  std::string expected(kFile);
  expected.replace(expected.find("3  \r\n"), 3, "12");
  EXPECT_EQ(changed, expected);
}

TEST(SetIniValueTest, Table) {
  struct Case {
    const char* before;
    const char* section;
    const char* entry;
    const char* after;
  } cases[] = {
      {"", "Info", "S_Prog", "[Info]\r\nS_Prog=1.0.1\r\n"},
      {"[A]\nx=1\n\n[B]\ny=2\n", "A", "S_Prog", "[A]\nx=1\nS_Prog=1.0.1\n\n[B]\ny=2\n"},
      {"[A]\r\nx=1", "A", "S_Prog", "[A]\r\nx=1\r\nS_Prog=1.0.1\r\n"},
      {"[A]\r\nx=1", "Info", "S_Prog", "[A]\r\nx=1\r\n\r\n[Info]\r\nS_Prog=1.0.1\r\n"},
      {"; only a comment\r\n", "Info", "S_Prog",
       "; only a comment\r\n\r\n[Info]\r\nS_Prog=1.0.1\r\n"},
      {"[Info]\r\nS_Prog = old ; kept? no\r\n", "Info", "S_Prog", "[Info]\r\nS_Prog = 1.0.1\r\n"},
      // A final lone CR already ends its line: it only gets its LF.
      {"[A]\r\nx=1\r", "A", "S_Prog", "[A]\r\nx=1\r\nS_Prog=1.0.1\r\n"},
      {"[A]\nx=1\r", "Info", "S_Prog", "[A]\nx=1\r\n\n[Info]\nS_Prog=1.0.1\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SetIniValue(c.before, c.section, c.entry, "1.0.1"), c.after) << c.before;
  }
}

}  // namespace
}  // namespace zc::settings
