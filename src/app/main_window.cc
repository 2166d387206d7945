#include "app/main_window.h"

#include <exception>
#include <stdexcept>
#include <utility>

#include "app/confirm_cancel.h"
#include "errors/error_sub.h"
#include "errors/logs.h"
#include "errors/procedure.h"
#include "errors/start_up.h"
#include "platform/ansi_text.h"
#include "project/edit_info.h"
#include "project/locations.h"
#include "texts/language.h"

namespace zc {
namespace {

// Help texts mark their line breaks as "<CRLF>", written in any case.
std::string WithLineBreaks(const std::string& text) {
  constexpr std::string_view kMarker = "<CRLF>";
  std::string message;
  std::string rest = text;
  for (auto at = platform::UpperCase(rest).find(kMarker); at != std::string::npos;
       at = platform::UpperCase(rest).find(kMarker)) {
    message += rest.substr(0, at);
    message += kCRLF;
    rest.erase(0, at + kMarker.size());
  }
  return message + rest;
}

}  // namespace

std::string FormCaption(ProjectRun& run, bool integrated) {
  return "Erweiterte Konfiguration " + GetFileNameOnly(run, run.ProgramFolder()) +
         (integrated ? " - integriert" : " - standalone") + (run.PreviewMode ? " - Vorschau" : "");
}

frm_Zantel_Config_Exe::frm_Zantel_Config_Exe(Program& run, DatabaseWork WorkOnMDB)
    : run_(run), WorkOnMDB_(std::move(WorkOnMDB)), controls_(texts::DesignedControls()) {}

const texts::Control& frm_Zantel_Config_Exe::Control(std::string_view name) const {
  for (const texts::Control& control : controls_) {
    if (control.Name == name) return control;
  }
  throw std::out_of_range("no control " + std::string(name));
}

texts::Control& frm_Zantel_Config_Exe::Find(std::string_view name) {
  return const_cast<texts::Control&>(std::as_const(*this).Control(name));
}

void frm_Zantel_Config_Exe::SetupUserInterFace() {
  // The design already is the user interface; nothing to adjust at run time.
}

void frm_Zantel_Config_Exe::CloseMe() {
  Procedure proc(run_, "CloseMe");
  working_ = true;
  proc.Step([&] { run_.ui.DoEvents(); });  // draws the disabled buttons
  proc.Step([&] { SetMousePointer(true); });
  proc.Step([&] { WorkOnMDB_(run_); });
  if (!run_.PreviewMode) proc.Step([&] { WriteInputs(); });
  proc.Step([&] { SetMousePointer(false); });
  EndProgram(run_, run_.failures_reported ? exit_status::kDoneWithFailures : exit_status::kDone);
}

void frm_Zantel_Config_Exe::CommandQuest_Click() {
  run_.HelpMode = !run_.HelpMode;
  SetBackColor("CommandQuest", run_.HelpMode ? texts::kGreen : texts::kLightGrey);
}

void frm_Zantel_Config_Exe::Form_Activate() {
  // Nothing to do: the window shows what loading put in place.
}

void frm_Zantel_Config_Exe::Form_Load() {
  Procedure proc(run_, "Form_Load");
  // Before anything is written, the language file's entries included: two
  // runs on one component would each replace what the other had built.
  if (!run_.LockComponent()) EndAsSecondRun();
  proc.Step([&] { texts::LoadToolTipTexts(run_, controls_, run_.HelpTexts); });
  for (const texts::Control& control : controls_) ControlChanged(control);
  proc.Step([&] { ConfigurationIniPath_ = GetR7QConfigurationIniPath(run_); });
  proc.Step([&] { SetCaption(FormCaption(run_, GetStartModeIntegrated(run_))); });
  proc.Step([&] { GetExistingMachines(run_, ConfigurationIniPath_); });
  proc.Step([&] { SetupUserInterFace(); });
  proc.Step([&] {
    if (run_.SilentMode) {
      CommandOK_Click();
    } else {
      SetEnabled("CommandOK", true);
      SetEnabled("CommandCancel", true);
    }
  });
}

void frm_Zantel_Config_Exe::EndAsSecondRun() {
  GetStartModeIntegrated(run_);  // says so where this start's messages go
  Procedure refused(run_, "Form_Load", /*fatal=*/true);
  refused.Report(Failure(failures::kFileInUse,
                         "Another run is working on " + run_.ComponentName().value_or("") +
                             ": this start has changed nothing. Start again when that run "
                             "has ended."));
  EndProgram(run_, exit_status::kEndedOnFailure);  // a silent start resumes to here
}

bool frm_Zantel_Config_Exe::Form_QueryUnload(bool& Cancel, int UnloadMode) {
  Procedure proc(run_, "Form_QueryUnload");
  bool give_up = false;  // a question that failed leaves the window open
  proc.Step([&] { give_up = ConfirmCancel(run_); });
  if (!give_up) {
    Cancel = true;
    return Cancel;
  }
  // Given up in the middle of the work: nothing of it is kept. The component
  // database is only ever replaced whole, so it stays intact.
  if (working_) run_.DiscardPendingWrites();
  // The only window unloads, so the program ends: here, like every other way
  // out, so that the count of repeated failures reaches the log.
  EndProgram(run_, exit_status::kCancelled);
}

void frm_Zantel_Config_Exe::Form_Resize() {
  // The controls keep their design places at any size.
}

void frm_Zantel_Config_Exe::CommandOK_Click() {
  Procedure proc(run_, "CommandOK_Click");
  if (run_.HelpMode) {
    proc.Step([&] { ShowHelpText(Find("CommandOK")); });
    return;
  }
  proc.Step([&] {
    SetEnabled("CommandOK", false);
    SetEnabled("CommandCancel", false);
  });
  proc.Step([&] { CloseMe(); });
}

void frm_Zantel_Config_Exe::CommandCancel_Click() {
  Procedure proc(run_, "CommandCancel_Click");
  if (run_.HelpMode) {
    proc.Step([&] { ShowHelpText(Find("CommandCancel")); });
    return;
  }
  // A question that failed goes on with its consequence, as after a yes.
  bool give_up = true;
  proc.Step([&] { give_up = ConfirmCancel(run_); });
  if (give_up) EndProgram(run_, exit_status::kCancelled);
}

void frm_Zantel_Config_Exe::WriteInputs() {
  Procedure proc(run_, "WriteInputs");
  proc.Step([&] { WriteEditInfo(run_); });
}

// Reports nothing: a step that fails is skipped, so an unknown help number
// shows an empty box.
void frm_Zantel_Config_Exe::ShowHelpText(const texts::Control& control) {
  if (!run_.HelpMode) return;
  std::string text;
  try {
    text = run_.HelpTexts.at(static_cast<size_t>(control.WhatsThisHelpID));
  } catch (const std::exception&) {
  }
  std::string message = WithLineBreaks(text);
  try {
    run_.MsgBox({message, "Info:", platform::Buttons::kOk, platform::Icon::kInformation,
                 platform::Answer::kOk});
  } catch (const std::exception&) {
  }
}

void frm_Zantel_Config_Exe::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  if (observer_ != nullptr) observer_->CaptionChanged(caption_);
}

void frm_Zantel_Config_Exe::SetEnabled(std::string_view name, bool enabled) {
  texts::Control& control = Find(name);
  control.Enabled = enabled;
  ControlChanged(control);
}

void frm_Zantel_Config_Exe::SetBackColor(std::string_view name, std::uint32_t color) {
  texts::Control& control = Find(name);
  control.BackColor = color;
  ControlChanged(control);
}

void frm_Zantel_Config_Exe::SetMousePointer(bool busy) {
  run_.ui.SetBusyPointer(busy);
  if (observer_ != nullptr) observer_->MousePointerChanged(busy);
}

void frm_Zantel_Config_Exe::ControlChanged(const texts::Control& control) {
  if (observer_ != nullptr) observer_->ControlChanged(control);
}

}  // namespace zc
