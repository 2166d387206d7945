#include "app/confirm_cancel.h"

#include <string>

#include "errors/logs.h"
#include "errors/start_up.h"
#include "platform/platform.h"

namespace zc {
namespace {

std::string Quoted(const std::string& text) { return kQuote + text + kQuote; }

std::string CancelWarning(ProjectRun& run) {
  std::string warning = "Cancel edits?" + std::string(kLFCR) + "Remark:" + std::string(kLFCR) +
                        "Until now no changes have been taken over ";
  if (run.IntegratedMode) {
    warning += std::string(kLFCR) + Quoted(GetOCXName(run)) + " has to be configured again in " +
               Quoted("standalone-mode") + " via " + std::string(kLFCR) + Quoted(run.ProgramFile());
  }
  return warning;
}

}  // namespace

bool ConfirmCancel(ProjectRun& run) {
  std::string warning = CancelWarning(run);
  if (run.SilentMode) {
    WriteServicePackLog(run, warning);
    return true;
  }
  platform::Answer answer = run.MsgBox({warning, "Cancel?", platform::Buttons::kYesNo,
                                        platform::Icon::kExclamation, platform::Answer::kNo});
  if (answer != platform::Answer::kYes) return false;
  WriteErrorLog(run, "Konfigurations-EXE wurde abgebrochen:     " + GetOCXName(run));
  return true;
}

}  // namespace zc
