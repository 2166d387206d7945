#include "texts/language.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "errors/failure.h"
#include "settings/ini_file.h"
#include "support/temp_project.h"

namespace zc::texts {
namespace {

using testing::Harness;
using testing::ReadFile;
using testing::WriteFile;

class LanguageTest : public ::testing::Test {
 protected:
  LanguageTest() { std::filesystem::create_directories(h.Path("Bin")); }

  std::string File() const { return h.Path("Bin/Zantel_Config.ini"); }
  void WriteLanguageFile(const std::string& text) { WriteFile(File(), text); }
  std::optional<std::string> Entry(const std::string& section, const std::string& entry) const {
    return settings::IniIndex(ReadFile(File())).Find(section, entry);
  }
  void Load() { LoadToolTipTexts(h.run, controls, help); }
  const Control& Named(const std::string& name) const {
    for (const Control& c : controls) {
      if (c.Name == name) return c;
    }
    throw std::runtime_error("no control " + name);
  }

  Harness<zc::Run> h;
  std::vector<Control> controls = DesignedControls();
  HelpTextTable help;
};

TEST_F(LanguageTest, FirstRunSeedsTheDefaultLanguageWithTheDesignedTexts) {
  Load();
  EXPECT_EQ(ReadFile(File()),
            "[Language]\r\nLanguage=1031\r\n\r\n[1031]\r\n"
            "TTT_MainFrame_=0\r\n"
            "Caption_Header_=Zantel - Konfiguration Status Steuerung\r\nTTT_Header_=0\r\n"
            "Caption_CommandOK_=\r\nHelp1=0\r\nTTT_CommandOK_=0\r\n"
            "Caption_CommandCancel_=\r\nHelp2=0\r\nTTT_CommandCancel_=0\r\n"
            "Caption_CommandQuest_=\r\nTTT_CommandQuest_=0\r\n");
  EXPECT_EQ(Named("Header").Caption, "Zantel - Konfiguration Status Steuerung");
  for (const Control& c : controls) EXPECT_EQ(c.ToolTipText, "") << c.Name;
  EXPECT_TRUE(h.ui.shown.empty());
}

TEST_F(LanguageTest, AnotherLanguageWithAnEmptySectionGetsMarkersAndKeepsTheDesign) {
  WriteLanguageFile("[Language]\r\nLanguage=1033\r\n[1033]\r\n");
  Load();
  for (const char* entry : {"Caption_Header_", "Caption_CommandOK_", "Help1", "Help2",
                            "TTT_MainFrame_", "TTT_Header_", "TTT_CommandQuest_"}) {
    EXPECT_EQ(Entry("1033", entry), "0") << entry;
  }
  EXPECT_EQ(Entry("1033", "Caption_MainFrame_"), std::nullopt);  // a frame has no caption entry
  EXPECT_EQ(Named("Header").Caption, "Zantel - Konfiguration Status Steuerung");
  EXPECT_EQ(Named("CommandOK").ToolTipText, "");
}

TEST_F(LanguageTest, EntriesAlreadyInTheFile) {
  struct Case {
    const char* language;
    const char* entry;
    const char* value;
    const char* header_caption;  // what the header shows afterwards
    const char* entry_after;
  } cases[] = {
      {"1033", "Caption_Header_", "0", "Zantel - Konfiguration Status Steuerung", "0"},
      {"1031", "Caption_Header_", "0", "Zantel - Konfiguration Status Steuerung",
       "Zantel - Konfiguration Status Steuerung"},
      {"1033", "Caption_Header_", "Zantel - status control", "Zantel - status control",
       "Zantel - status control"},
      {"1031", "Caption_Header_", "", "Zantel - Konfiguration Status Steuerung",
       "Zantel - Konfiguration Status Steuerung"},
  };
  for (const Case& c : cases) {
    controls = DesignedControls();
    WriteLanguageFile(std::string("[Language]\r\nLanguage=") + c.language + "\r\n[" + c.language +
                      "]\r\n" + c.entry + "=" + c.value + "\r\n");
    Load();
    EXPECT_EQ(Named("Header").Caption, c.header_caption) << c.language << " " << c.value;
    EXPECT_EQ(Entry(c.language, c.entry), c.entry_after) << c.language << " " << c.value;
  }
}

TEST_F(LanguageTest, ToolTipsAndHelpTextsComeFromTheFileUnchanged) {
  WriteLanguageFile(
      "[Language]\r\nLanguage=1033\r\n[1033]\r\nTTT_CommandOK_=Start the configuration\r\n"
      "Help1=Starts<CRLF>the work\r\nHelp2=0\r\n");
  Load();
  EXPECT_EQ(Named("CommandOK").ToolTipText, "Start the configuration");
  EXPECT_EQ(Named("CommandCancel").ToolTipText, "");
  EXPECT_EQ(help[1], "Starts<CRLF>the work");
  EXPECT_EQ(help[2], "0");  // shown as such in help mode
  EXPECT_EQ(Entry("1033", "TTT_CommandOK_"), "Start the configuration");
  EXPECT_EQ(Entry("1033", "Help1"), "Starts<CRLF>the work");
  EXPECT_EQ(Entry("1033", "Help2"), "0");
}

TEST_F(LanguageTest, AnEmptyOrMissingLanguageChoiceBecomesTheDefault) {
  for (const char* text : {"[Language]\r\nLanguage=\r\n", "[Other]\r\nx=1\r\n"}) {
    WriteLanguageFile(text);
    EXPECT_EQ(GetLanguage(h.run), "1031");
    EXPECT_EQ(Entry("Language", "Language"), "1031");
  }
  WriteLanguageFile("[Language]\r\nLanguage=1036\r\n");
  EXPECT_EQ(GetLanguage(h.run), "1036");
}

TEST_F(LanguageTest, ARefusedSeedIsNoFailure) {
  WriteLanguageFile("[Language]\r\n");  // neither a language nor any text yet
  std::filesystem::permissions(testing::PathOf(File()), std::filesystem::perms::owner_read);
  h.run.SilentMode = true;
  Load();
  EXPECT_EQ(ReadFile(File()), "[Language]\r\n");
  EXPECT_EQ(h.ErrorLog(), "");
  EXPECT_FALSE(h.run.failures_reported);  // a silent run still ends with 0
}

Control Made(ControlKind kind, const char* name, const char* tag, std::int32_t help_id = 0,
             std::optional<std::int16_t> index = std::nullopt) {
  Control control;
  control.kind = kind;
  control.Name = name;
  control.Tag = tag;
  control.Caption = std::string("design ") + name;
  control.WhatsThisHelpID = help_id;
  control.Index = index;
  return control;
}

TEST_F(LanguageTest, KeysOfArraysTagsAndControlsThatCannotBeHandled) {
  controls = {
      Made(ControlKind::kLabel, "Label1", "", 0, 0),
      Made(ControlKind::kLabel, "Label1", "x", 0, 2),
      Made(ControlKind::kCheckBox, "Check", "a NoTTT b", 3),
      Made(ControlKind::kCommandButton, "Big", "", 150),
      Made(ControlKind::kLabel, "Twin", ""),           // same name, no index: not an array the
      Made(ControlKind::kLabel, "Twin", ""),           // toolkit knows, so both are skipped
      Made(ControlKind::kLabel, "Single", "t", 0, 5),  // alone: the index is not in the key
  };
  Load();
  EXPECT_EQ(Entry("1031", "Caption_Label10_"), "design Label1");
  EXPECT_EQ(Entry("1031", "TTT_Label12_x"), "0");
  EXPECT_EQ(Entry("1031", "Caption_Check_a NoTTT b"), "design Check");
  EXPECT_EQ(Entry("1031", "Help3"), "0");
  EXPECT_EQ(Entry("1031", "TTT_Check_a NoTTT b"), std::nullopt);
  // The help number ends the button's handling after its caption.
  EXPECT_EQ(Entry("1031", "Caption_Big_"), "design Big");
  EXPECT_EQ(Entry("1031", "Help150"), std::nullopt);
  EXPECT_EQ(Entry("1031", "TTT_Big_"), std::nullopt);
  EXPECT_EQ(ReadFile(File()).find("Twin"), std::string::npos);
  EXPECT_EQ(Entry("1031", "Caption_Single_t"), "design Single");
  EXPECT_TRUE(h.ui.shown.empty());
  EXPECT_EQ(h.ErrorLog(), "");
}

TEST_F(LanguageTest, AListTooLongToSearchFailsToTheCaller) {
  controls.assign(32768, Made(ControlKind::kLabel, "L", ""));
  controls[0].Name = "First";
  try {
    Load();
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.number, failures::kOverflow);
  }
  EXPECT_EQ(ReadFile(File()), "[Language]\r\nLanguage=1031\r\n");
  EXPECT_EQ(controls[0].Caption, "design L");
}

TEST(LanguageFileTest, LiesBesideTheProgram) {
  Harness<zc::Run> in_folder("", "Zantel_Config", "Cfg");
  EXPECT_EQ(LanguageFilePath(in_folder.run), in_folder.Path("Cfg/Zantel_Config.ini"));
  platform::ScriptedUi ui;
  zc::Run at_root(testing::FactsFor(testing::AtRoot("Zantel_Config"), "", "/tmp/sp.log"), ui);
  EXPECT_EQ(LanguageFilePath(at_root), testing::AtRoot("Zantel_Config.ini"));
}

}  // namespace
}  // namespace zc::texts
