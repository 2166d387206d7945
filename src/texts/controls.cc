#include "texts/controls.h"

namespace zc::texts {

std::string_view TypeName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kFrame:
      return "Frame";
    case ControlKind::kLabel:
      return "Label";
    case ControlKind::kCommandButton:
      return "CommandButton";
    case ControlKind::kCheckBox:
      return "CheckBox";
  }
  return "";
}

namespace {

Control PictureButton(const char* name, Twips geometry, int tab_index, std::int32_t help_id,
                      Picture picture) {
  Control button;
  button.kind = ControlKind::kCommandButton;
  button.Name = name;
  button.WhatsThisHelpID = help_id;
  button.geometry = geometry;
  button.TabIndex = tab_index;
  button.picture = picture;
  return button;
}

}  // namespace

std::vector<Control> DesignedControls() {
  Control frame;
  frame.kind = ControlKind::kFrame;
  frame.Name = "MainFrame";
  frame.geometry = {0, 390, 11880, 7260};
  frame.TabIndex = 0;

  Control header;
  header.kind = ControlKind::kLabel;
  header.Name = "Header";
  header.Caption = "Zantel - Konfiguration Status Steuerung";
  header.geometry = {30, 30, 11775, 360};
  header.TabIndex = 4;
  header.font = Font{"MS Sans Serif", 13.5, 700};

  // OK and Cancel stay disabled until loading has read the start mode, so
  // nothing can start the work or give up before the window knows its run.
  Control ok = PictureButton("CommandOK", {8400, 7710, 1695, 855}, 1, 1, Picture::kCheckMark);
  ok.Enabled = false;
  Control cancel = PictureButton("CommandCancel", {10170, 7710, 1695, 855}, 2, 2, Picture::kCross);
  cancel.Enabled = false;
  Control quest =
      PictureButton("CommandQuest", {7350, 7710, 975, 855}, 3, 0, Picture::kQuestionMark);

  return {frame, header, ok, cancel, quest};
}

}  // namespace zc::texts
