// The window's controls as the program sees them, whatever toolkit draws
// them: the properties the language texts read and write, the state the
// handlers change, and the design geometry in twips.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zc::texts {

enum class ControlKind { kFrame, kLabel, kCommandButton, kCheckBox };

// The control's type name as the classic form toolkit spells it ("Frame",
// "Label", "CommandButton", "CheckBox"); the language file logic compares
// it in upper case.
std::string_view TypeName(ControlKind kind);

// The drawings of the graphical buttons.
enum class Picture { kNone, kCheckMark, kCross, kQuestionMark };

// Colours as &H00BBGGRR.
inline constexpr std::uint32_t kLightGrey = 0x00C0C0C0;
inline constexpr std::uint32_t kGreen = 0x0000FF00;

// Position and size in twips (1/1440 inch).
struct Twips {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct Font {
  std::string name;
  double points = 8.25;
  int weight = 400;  // 700 is bold
};

struct Control {
  ControlKind kind = ControlKind::kLabel;
  std::string Name;
  // Only members of a control array carry an index.
  std::optional<std::int16_t> Index;
  std::string Tag;
  std::string Caption;
  std::int32_t WhatsThisHelpID = 0;  // 0: no help text
  std::string ToolTipText;
  bool Enabled = true;
  std::uint32_t BackColor = kLightGrey;

  Twips geometry;
  int TabIndex = 0;
  std::optional<Font> font;  // nullopt: the toolkit's default
  Picture picture = Picture::kNone;
};

// The main window's controls with their design values, in the window's own
// order: MainFrame, Header, CommandOK, CommandCancel, CommandQuest.
std::vector<Control> DesignedControls();

}  // namespace zc::texts
