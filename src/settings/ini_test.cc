#include "settings/ini.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_project.h"

namespace zc {
namespace {

using platform::Answer;
using testing::Harness;
using testing::ReadFile;
using testing::WriteFile;

class IniTest : public ::testing::Test {
 protected:
  std::string File() { return h.Path("parameter/Program.ini"); }
  Harness<zc::Run> h;
};

TEST_F(IniTest, MissingFileSectionOrEntryReadsEmptyWithoutMessage) {
  EXPECT_EQ(LoadIniString(h.run, "Project", "X", File()), "");
  WriteFile(File(), "[Project]\r\nY=1\r\n");
  EXPECT_EQ(LoadIniString(h.run, "Project", "X", File()), "");
  EXPECT_EQ(LoadIniString(h.run, "Other", "Y", File()), "");
  EXPECT_EQ(LoadIniInteger(h.run, "Project", "X", File()), -1);
  EXPECT_FALSE(LoadIniBoolean(h.run, "Project", "X", File()));
  EXPECT_EQ(LoadIniString(h.run, "Project", "Y", h.Path("parameter")), "");  // a folder
  EXPECT_TRUE(h.ui.shown.empty());
  EXPECT_EQ(h.ErrorLog(), "");
}

TEST_F(IniTest, LongValuesAreCutTo254Characters) {
  std::string long_value(300, 'v');
  long_value[253] = 'e';
  WriteFile(File(), "[P]\r\nLong=" + long_value + "\r\n");
  std::string read = LoadIniString(h.run, "P", "Long", File());
  EXPECT_EQ(read.size(), 254u);
  EXPECT_EQ(read.back(), 'e');
}

TEST_F(IniTest, Integers) {
  WriteFile(File(), "[P]\r\na=12\r\nb=-3\r\nc=7 machines\r\nd=x\r\ne=32767\r\nf=\r\n");
  struct Case {
    const char* entry;
    int value;
  } cases[] = {{"a", 12}, {"b", -3}, {"c", 7}, {"d", 0}, {"e", 32767}, {"f", -1}};
  for (const Case& c : cases) EXPECT_EQ(LoadIniInteger(h.run, "P", c.entry, File()), c.value);
}

TEST_F(IniTest, AnIntegerBeyondSixteenBitsIsAnOverflowThenZero) {
  WriteFile(File(), "[Project]\r\nNumberOfMachines=40000\r\n");
  h.ui.Script({Answer::kYes});
  EXPECT_EQ(LoadIniInteger(h.run, "Project", "NumberOfMachines", File()), 0);
  EXPECT_EQ(h.ErrorLog(),
            "Fehler in Zantel / Zantel_Config / LoadIniInteger (Nr. 6) :Overflow\r\n");
}

TEST_F(IniTest, OnlyTrueInAnyCaseIsTrue) {
  WriteFile(File(), "[P]\r\na=true\r\nb=TrUe\r\nc=false\r\nd=1\r\ne=yes\r\n");
  for (const char* entry : {"a", "b"}) EXPECT_TRUE(LoadIniBoolean(h.run, "P", entry, File()));
  for (const char* entry : {"c", "d", "e", "missing"}) {
    EXPECT_FALSE(LoadIniBoolean(h.run, "P", entry, File())) << entry;
  }
}

TEST_F(IniTest, SaveCreatesTheFileAndRoundTripsWindows1252) {
  std::filesystem::create_directories(h.Path("parameter"));
  SaveIni(h.run, "ÄÖÜß€", "Info", "S_Editor", File());
  EXPECT_EQ(ReadFile(File()), "[Info]\r\nS_Editor=\xC4\xD6\xDC\xDF\x80\r\n");
  EXPECT_EQ(LoadIniString(h.run, "Info", "S_Editor", File()), "ÄÖÜß€");
}

TEST_F(IniTest, SaveKeepsCommentsAndOtherSectionsByteForByte) {
  std::string before =
      "; Kommentar \xE4\r\n[Other]\r\nKeep = \"as is\"   \r\n\r\n[Info]\r\nS_Prog=old\r\n"
      "S_Editor=x\r\n\r\n[Tail]\n";
  WriteFile(File(), before);
  SaveIni(h.run, "1.0.1 - Standalone", "Info", "S_Prog", File());
  std::string expected = before;
  expected.replace(expected.find("old"), 3, "1.0.1 - Standalone");
  EXPECT_EQ(ReadFile(File()), expected);
}

TEST_F(IniTest, AReadOnlyFileIsLeftAloneAndTheRefusalReported) {
  WriteFile(File(), "[Info]\r\nS_Prog=old\r\n");
  std::filesystem::permissions(testing::PathOf(File()), std::filesystem::perms::owner_read);
  h.run.SilentMode = true;
  SaveIni(h.run, "new", "Info", "S_Prog", File());
  EXPECT_EQ(ReadFile(File()), "[Info]\r\nS_Prog=old\r\n");
  EXPECT_NE(h.ErrorLog().find("/ SaveIni (Nr. 75) :Path/File access error: " + File() +
                              " could not be written"),
            std::string::npos);
}

}  // namespace
}  // namespace zc
