#include "texts/language.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/ansi_text.h"
#include "settings/ini_file.h"
#include "support/temp_project.h"

namespace zc::texts {
namespace {

using testing::Harness;
using testing::ReadFile;

constexpr char kDesigned[] = "Zantel - Konfiguration Status Steuerung";  // the header's caption

class LanguageTest : public ::testing::Test {
 protected:
  LanguageTest() { std::filesystem::create_directories(h.Path("Bin")); }

  std::string File() const { return h.Path("Bin/Zantel_Config.ini"); }
  void WriteLanguageFile(const std::string& text) { testing::WriteFile(File(), text); }
  std::optional<std::string> Entry(const std::string& section, const std::string& entry) const {
    return settings::IniIndex(ReadFile(File())).Find(section, entry);
  }
  void Load() { LoadToolTipTexts(h.run, controls, help); }
  const Control& Header() const { return controls[1]; }  // in the designed order

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
  EXPECT_EQ(Header().Caption, kDesigned);
  for (const Control& c : controls) EXPECT_EQ(c.ToolTipText, "") << c.Name;
  EXPECT_TRUE(h.ui.shown.empty());
}

// A caption the language has no text for keeps the design; the default
// language is seeded with the designed one, any other gets a marker.
TEST_F(LanguageTest, CaptionsComeFromTheFileOrTheDesign) {
  struct Case {
    const char* language;
    const char* value;  // of Caption_Header_; nullptr: not in the file
    const char* caption;
    const char* value_after;
  } cases[] = {
      {"1033", nullptr, kDesigned, "0"},
      {"1033", "0", kDesigned, "0"},
      {"1031", "0", kDesigned, kDesigned},
      {"1033", "Zantel - status control", "Zantel - status control", "Zantel - status control"},
  };
  for (const Case& c : cases) {
    controls = DesignedControls();
    WriteLanguageFile(std::string("[Language]\r\nLanguage=") + c.language + "\r\n[" + c.language +
                      "]\r\n" +
                      (c.value ? "Caption_Header_=" + std::string(c.value) + "\r\n" : ""));
    Load();
    const std::string what = std::string(c.language) + " " + (c.value ? c.value : "(none)");
    EXPECT_EQ(Header().Caption, c.caption) << what;
    EXPECT_EQ(Entry(c.language, "Caption_Header_"), c.value_after) << what;
  }
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

// The help number ends a button's handling after its caption; same-named
// controls without an index are no array the toolkit knows, so are skipped.
TEST_F(LanguageTest, KeysOfArraysTagsAndControlsThatCannotBeHandled) {
  controls = {Made(ControlKind::kLabel, "Label1", "", 0, 0),
              Made(ControlKind::kLabel, "Label1", "x", 0, 2),
              Made(ControlKind::kCheckBox, "Check", "a NoTTT b", 3),
              Made(ControlKind::kCommandButton, "Big", "", 150),
              Made(ControlKind::kLabel, "Twin", ""),
              Made(ControlKind::kLabel, "Twin", ""),
              Made(ControlKind::kLabel, "Single", "t", 0, 5)};  // alone: no index in the key
  Load();
  const std::pair<const char*, std::optional<std::string>> entries[] = {
      {"Caption_Label10_", "design Label1"},
      {"TTT_Label12_x", "0"},
      {"Caption_Check_a NoTTT b", "design Check"},
      {"Help3", "0"},
      {"TTT_Check_a NoTTT b", std::nullopt},
      {"Caption_Big_", "design Big"},
      {"Help150", std::nullopt},
      {"TTT_Big_", std::nullopt},
      {"Caption_Single_t", "design Single"}};
  for (const auto& [entry, value] : entries) EXPECT_EQ(Entry("1031", entry), value) << entry;
  EXPECT_EQ(ReadFile(File()).find("Twin"), std::string::npos);
  EXPECT_TRUE(h.ui.shown.empty());
  EXPECT_EQ(h.ErrorLog(), "");
}

// The reader keeps 254 characters (Windows-1252: bytes) of an entry, and
// every shipped one fits. Where no language file can be written, the
// shipped texts are shown, not empty help boxes.
TEST_F(LanguageTest, EveryShippedTextFitsTheReaderAndStandsInForAMissingFile) {
  std::istringstream lines{std::string(ShippedLanguageFile())};
  std::string help1;
  for (std::string line; std::getline(lines, line);) {
    const size_t value = line.find('=') + 1, end = line.find_last_not_of('\r') + 1;
    if (!line.starts_with(';') && value > 0) {
      EXPECT_LE(end - value, 254u) << line;
    }
    if (help1.empty() && line.starts_with("Help1=")) help1 = line.substr(value, end - value);
  }
  std::filesystem::create_directories(File());  // in the way of the file
  Load();
  EXPECT_EQ(help[1], platform::FromAnsi(help1));
}

}  // namespace
}  // namespace zc::texts
