// INI texts as the Windows profile functions see them, and their files.
#include "settings/ini.h"

#include <gtest/gtest.h>

#include "settings/ini_file.h"
#include "support/temp_project.h"

namespace zc {
namespace {

using std::literals::string_literals::operator""s;
using settings::IniIndex;
using settings::SetIniValue;
using testing::Harness;
using testing::ReadFile;
using testing::WriteFile;

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

// An existing entry keeps its line, found in any letter case, and only its
// value changes; a new one goes after the last line of its section, a new
// section at the end. Every other byte stays as it was.
TEST(SetIniValueTest, Table) {
  struct Case {
    const char* before;
    const char* section;
    const char* after;
  } cases[] = {
      {"", "Info", "[Info]\r\nS_Prog=1.0.1\r\n"},
      {"; c\r\n[info]\r\n  s_prog = 3  \r\n[B]\r\nx=\"1\"\r\n", "Info",
       "; c\r\n[info]\r\n  s_prog = 1.0.1\r\n[B]\r\nx=\"1\"\r\n"},
      {"[Info]\r\nS_Prog = old ; kept? no\r\n", "Info", "[Info]\r\nS_Prog = 1.0.1\r\n"},
      {"[A]\nx=1\n\n[B]\ny=2\n", "A", "[A]\nx=1\nS_Prog=1.0.1\n\n[B]\ny=2\n"},
      {"[A]\r\nx=1", "A", "[A]\r\nx=1\r\nS_Prog=1.0.1\r\n"},
      {"[A]\r\nx=1", "Info", "[A]\r\nx=1\r\n\r\n[Info]\r\nS_Prog=1.0.1\r\n"},
      {"; only a comment\r\n", "Info", "; only a comment\r\n\r\n[Info]\r\nS_Prog=1.0.1\r\n"},
      // A final lone CR already ends its line: it only gets its LF.
      {"[A]\r\nx=1\r", "A", "[A]\r\nx=1\r\nS_Prog=1.0.1\r\n"},
      {"[A]\nx=1\r", "Info", "[A]\nx=1\r\n\n[Info]\nS_Prog=1.0.1\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SetIniValue(c.before, c.section, "S_Prog", "1.0.1"), c.after) << c.before;
  }
}

// As the Windows profile readers take them: integers by their leading digits
// (-1 when empty), booleans only from "true" in any letter case, strings cut
// to 254 characters; whatever is missing reads empty without a message.
TEST(IniTest, ReadersTakeEveryValueAsTheWindowsOnesDoAndTheWriterWritesWindows1252) {
  Harness<zc::Run> h;
  const std::string long_value = std::string(253, 'v') + "e" + std::string(46, 'x');
  WriteFile(h.Path("parameter/Program.ini"),
            "[P]\r\na=12\r\nb=-3\r\nc=7 machines\r\nd=x\r\ne=32767\r\nf=\r\nn=1\r\n"
            "t=true\r\nu=TrUe\r\nLong=" +
                long_value + "\r\n");
  struct Case {
    const char* entry;
    std::string text;
    int integer;
    bool boolean;
    const char* section = "P";
    const char* file = "parameter/Program.ini";
  } cases[] = {{"a", "12", 12, false},
               {"b", "-3", -3, false},
               {"c", "7 machines", 7, false},
               {"d", "x", 0, false},
               {"e", "32767", 32767, false},
               {"f", "", -1, false},
               {"n", "1", 1, false},
               {"t", "true", 0, true},
               {"u", "TrUe", 0, true},
               {"Long", long_value.substr(0, 254), 0, false},
               {"a", "", -1, false, "P", "parameter/none.ini"},
               {"a", "", -1, false, "P", "parameter"}};  // a folder
  for (const Case& c : cases) {
    const std::string file = h.Path(c.file);
    EXPECT_EQ(LoadIniString(h.run, c.section, c.entry, file), c.text) << c.entry << " " << c.file;
    EXPECT_EQ(LoadIniInteger(h.run, c.section, c.entry, file), c.integer) << c.entry;
    EXPECT_EQ(LoadIniBoolean(h.run, c.section, c.entry, file), c.boolean) << c.entry;
    const IniEntries once(file);  // the same answers from one reading of the file
    EXPECT_EQ(once.String(c.section, c.entry), c.text) << c.entry << " " << c.file;
    EXPECT_EQ(once.Boolean(c.section, c.entry), c.boolean) << c.entry;
  }
  SaveIni(h.run, "ÄÖÜß€", "Info", "S_Editor", h.Path("parameter/new.ini"));
  EXPECT_EQ(ReadFile(h.Path("parameter/new.ini")), "[Info]\r\nS_Editor=\xC4\xD6\xDC\xDF\x80\r\n");
  EXPECT_EQ(LoadIniString(h.run, "Info", "S_Editor", h.Path("parameter/new.ini")), "ÄÖÜß€");
  EXPECT_TRUE(h.ui.shown.empty());
  EXPECT_EQ(h.ErrorLog(), "");
}

// Entries read once stay readable while many other files pass through the
// readers' cache; a file written after that reading is read anew.
TEST(IniTest, EntriesReadOnceOutliveTheCacheAndAWriteIsReadAnew) {
  Harness<zc::Run> h;
  const std::string cfg = h.Path("Zantel.cfg"), other = h.Path("other");
  WriteFile(cfg, "[Project]\r\nForMachine1=true\r\n");
  const IniEntries before(cfg);
  for (int i = 0; i < 20; ++i) WriteFile(other + std::to_string(i), "[P]\r\nx=1\r\n");
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(IniEntries(other + std::to_string(i)).String("P", "x"), "1");
  SaveIni(h.run, "1.0.1", "Info", "S_Prog", cfg);
  EXPECT_TRUE(before.Boolean("Project", "ForMachine1"));
  EXPECT_EQ(IniEntries(cfg).String("Info", "S_Prog"), "1.0.1");
}

// After a byte order mark a file is UTF-16 (or UTF-8), as Windows reads it;
// a written entry keeps the file's encoding and mark.
TEST(IniTest, AByteOrderMarkMakesTheFileUnicodeAndAWriteKeepsIt) {
  Harness<zc::Run> h;
  const std::string file = h.Path("p.ini"), utf16_be = "\xFE\xFF\0[\0P\0]\0\n\0N\0=\0\xE4"s;
  WriteFile(file, utf16_be);
  EXPECT_EQ(LoadIniString(h.run, "P", "N", file), "ä");
  SaveIni(h.run, "Ä", "P", "S", file);
  EXPECT_EQ(ReadFile(file), utf16_be + "\0\n\0S\0=\0\xC4\0\n"s);
}

}  // namespace
}  // namespace zc
