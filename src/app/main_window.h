// The program's one window, apart from any toolkit: it loads the run, waits
// for OK, Cancel, the close box or the question button, and runs the work.
// A view draws the controls and forwards the user's clicks; it learns about
// every change through WindowObserver.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/program.h"
#include "texts/controls.h"

namespace zc {

// Builds the component database for all machines.
using DatabaseWork = std::function<void(Program&)>;

class WindowObserver {
 public:
  virtual ~WindowObserver() = default;
  virtual void CaptionChanged(const std::string& caption) = 0;
  // The control's enabled state, back colour, caption or tool tip changed.
  virtual void ControlChanged(const texts::Control& control) = 0;
  virtual void MousePointerChanged(bool busy) = 0;
};

// The window as designed (twips, &H00BBGGRR).
inline constexpr char kDesignCaption[] = "Base R7QCFG-Erweiterung";
inline constexpr int kClientWidthTwips = 11880;
inline constexpr int kClientHeightTwips = 8595;
inline constexpr std::uint32_t kFormBackColor = texts::kLightGrey;

// "Erweiterte Konfiguration " + the program folder's own name + the start
// mode, and " - Vorschau" in a preview.
std::string FormCaption(ProjectRun& run, bool integrated);

class frm_Zantel_Config_Exe {
 public:
  frm_Zantel_Config_Exe(Program& run, DatabaseWork WorkOnMDB);
  frm_Zantel_Config_Exe(const frm_Zantel_Config_Exe&) = delete;
  frm_Zantel_Config_Exe& operator=(const frm_Zantel_Config_Exe&) = delete;

  // One observer at a time; nullptr detaches it.
  void SetObserver(WindowObserver* observer) { observer_ = observer; }

  void SetupUserInterFace();
  // Runs the work and the edit stamp (none in a preview), then ends the program.
  [[noreturn]] void CloseMe();

  void CommandQuest_Click();
  void Form_Activate();
  // In a silent start this runs the work and ends the program; otherwise it
  // returns with OK and Cancel enabled and the window waiting.
  void Form_Load();
  // Sets Cancel when the window is to stay open, and returns it; a confirmed
  // close ends the program.
  bool Form_QueryUnload(bool& Cancel, int UnloadMode);
  void Form_Resize();
  void CommandOK_Click();
  void CommandCancel_Click();

  const std::string& Caption() const { return caption_; }
  const std::vector<texts::Control>& Controls() const { return controls_; }
  const texts::Control& Control(std::string_view name) const;

 private:
  // Another run holds the component: this one changes nothing, says so (a
  // silent one in the service-pack log), logs it and ends with 1.
  [[noreturn]] void EndAsSecondRun();
  void WriteInputs();
  void ShowHelpText(const texts::Control& control);

  texts::Control& Find(std::string_view name);
  void SetCaption(std::string caption);
  void SetEnabled(std::string_view name, bool enabled);
  void SetBackColor(std::string_view name, std::uint32_t color);
  void SetMousePointer(bool busy);
  void ControlChanged(const texts::Control& control);

  Program& run_;
  DatabaseWork WorkOnMDB_;
  std::vector<texts::Control> controls_;
  std::string caption_ = kDesignCaption;
  std::string ConfigurationIniPath_;
  bool working_ = false;
  WindowObserver* observer_ = nullptr;
};

}  // namespace zc
