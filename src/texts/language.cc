#include "texts/language.h"

#include <cstdint>
#include <exception>

#include "errors/failure.h"
#include "errors/procedure.h"
#include "platform/ansi_text.h"
#include "platform/platform.h"
#include "settings/ini.h"
#include "settings/ini_file.h"

namespace zc::texts {
namespace {

constexpr char kLanguageSection[] = "Language";
constexpr char kUnset[] = "0";  // the language has no text for this entry

bool HasText(const std::string& value) { return !value.empty() && value != kUnset; }

bool CarriesCaptionAndHelp(const Control& control) {
  std::string type = platform::UpperCase(TypeName(control.kind));
  return type == "LABEL" || type == "COMMANDBUTTON" || type == "CHECKBOX";
}

// The texts of one control; a failure here ends the work on that control.
class ControlTexts {
 public:
  // From the language file, into which the entries it lacks are written.
  ControlTexts(Run& run, const std::string& lang, const std::string& file)
      : run_(run), lang_(lang), file_(file) {}
  // From the shipped texts; nothing is written.
  ControlTexts(Run& run, const std::string& lang, const settings::IniIndex& shipped)
      : run_(run), lang_(lang), shipped_(&shipped) {}

  void LoadCaption(Control& control, const std::string& suffix) {
    std::string entry = "Caption_" + suffix;
    std::string text = Read(entry);
    if (HasText(text)) {
      control.Caption = text;
    } else {
      // The designed captions seed the default language; other languages
      // get markers that a translator replaces.
      Seed(lang_ == kDefaultLanguage ? control.Caption : kUnset, entry);
    }
  }

  void LoadHelp(const Control& control, HelpTextTable& HelpTexts) {
    std::int32_t number = control.WhatsThisHelpID;
    if (number == 0) return;
    if (number < 1 || number > 100) failures::SubscriptOutOfRange();
    std::string entry = "Help" + std::to_string(number);
    HelpTexts[number] = Read(entry);
    if (!HasText(HelpTexts[number])) Seed(kUnset, entry);
  }

  void LoadToolTip(Control& control, const std::string& suffix) {
    if (platform::UpperCase(control.Tag).find("NOTTT") != std::string::npos) return;
    std::string entry = "TTT_" + suffix;
    std::string text = Read(entry);
    if (HasText(text)) {
      control.ToolTipText = text;
    } else {
      Seed(kUnset, entry);
    }
  }

 private:
  std::string Read(const std::string& entry) {
    if (shipped_ != nullptr) return shipped_->Find(lang_, entry).value_or("");
    return LoadIniString(run_, lang_, entry, file_);
  }
  // A preview leaves the file as it is.
  void Seed(const std::string& value, const std::string& entry) {
    if (shipped_ == nullptr && !run_.PreviewMode) SaveIniQuietly(value, lang_, entry, file_);
  }

  Run& run_;
  const std::string& lang_;
  std::string file_;
  const settings::IniIndex* shipped_ = nullptr;
};

void LoadTexts(ControlTexts& texts, std::vector<Control>& controls, HelpTextTable& HelpTexts) {
  for (size_t position = 0; position < controls.size(); ++position) {
    bool array_member = IsControlArrayMember(controls, position);
    Control& control = controls[position];
    try {
      std::string suffix = KeySuffix(control, array_member);
      if (CarriesCaptionAndHelp(control)) {
        texts.LoadCaption(control, suffix);
        texts.LoadHelp(control, HelpTexts);
      }
      texts.LoadToolTip(control, suffix);
    } catch (const std::exception&) {
      // What this control got so far stays; its remaining texts are skipped.
    }
  }
}

}  // namespace

std::string LanguageFilePath(const Run& run) {
  return platform::JoinPath(run.ProgramFolder(), run.ExecutableName() + ".ini");
}

std::string GetLanguage(Run& run) {
  Procedure proc(run, "GetLanguage");
  std::string language;
  proc.Step([&] {
    language = LoadIniString(run, kLanguageSection, kLanguageSection, LanguageFilePath(run));
  });
  if (!language.empty()) return language;
  if (run.PreviewMode) return kDefaultLanguage;  // a preview leaves the file as it is
  proc.Step([&] {
    SaveIniQuietly(kDefaultLanguage, kLanguageSection, kLanguageSection, LanguageFilePath(run));
  });
  return kDefaultLanguage;
}

bool IsControlArrayMember(const std::vector<Control>& controls, size_t position) {
  if (controls.size() > INT16_MAX) failures::Overflow();
  for (size_t other = 0; other < controls.size(); ++other) {
    if (other != position && controls[other].Name == controls[position].Name) return true;
  }
  return false;
}

std::string KeySuffix(const Control& control, bool array_member) {
  std::string suffix = control.Name;
  if (array_member) {
    // A same-named control without an index is no array member the toolkit
    // knows: reading its index fails.
    if (!control.Index) throw Failure(343, "Object not an array");
    suffix += std::to_string(*control.Index);
  }
  return suffix + "_" + control.Tag;
}

void LoadToolTipTexts(Run& run, std::vector<Control>& controls, HelpTextTable& HelpTexts) {
  std::string lang = GetLanguage(run);
  std::string file = LanguageFilePath(run);
  ControlTexts from_file(run, lang, file);
  LoadTexts(from_file, controls, HelpTexts);
  if (platform::FileExists(file)) return;
  // No language file, and none could be written (a folder the user may not
  // write, a preview): the window speaks with the texts it ships with rather
  // than show an empty help box.
  settings::IniIndex shipped(platform::DecodeText(ShippedLanguageFile()).utf8);
  ControlTexts built_in(run, lang, shipped);
  LoadTexts(built_in, controls, HelpTexts);
}

}  // namespace zc::texts
