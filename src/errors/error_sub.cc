#include "errors/error_sub.h"

#include <cstdio>
#include <cstdlib>

#include "errors/failure.h"
#include "errors/logs.h"

namespace zc {
namespace {

// The log line must land somewhere even when the log cannot be written; the
// note then says so instead of naming a file that does not hold the line.
std::string LogOrExplain(Run& run, const std::string& line) {
  try {
    return WriteErrorLog(run, line);
  } catch (const Failure& failure) {
    std::fprintf(stderr, "%s\n", line.c_str());
    return "The error log could not be written: " + failure.description;
  }
}

void LogSilently(Run& run, const std::string& message) {
  try {
    WriteServicePackLog(run, message);
  } catch (const Failure&) {
    std::fprintf(stderr, "%s\n", message.c_str());
  }
}

}  // namespace

std::int32_t ErrorSub(Run& run, std::int32_t ErrNumber, const std::string& ErrSource,
                      const std::string& ErrDescription, const std::string& ProcName,
                      bool Fatal) {
  run.failures_reported = true;
  // Never GetOCXName here: it reports its own failures to this routine.
  std::string component = run.ComponentName().value_or("");
  std::string line = "Fehler in " + component + " / " + ErrSource + " / " + ProcName +
                     " (Nr. " + std::to_string(ErrNumber) + ") :" + ErrDescription;
  std::string note = LogOrExplain(run, line);
  std::string message = "Unexpected error!" + std::string(kLFCR) + ErrDescription +
                        std::string(kLFCR) + note;
  if (run.SilentMode) {
    LogSilently(run, message);
    return decision::kResume;
  }
  if (Fatal) {
    run.MsgBox({message, "Fatal error", platform::Buttons::kOk, platform::Icon::kCritical,
                platform::Answer::kOk});
    return decision::kEndProgram;
  }
  platform::Answer answer =
      run.MsgBox({message + std::string(kLFCR) + "Resume?", "Unexpected error",
                  platform::Buttons::kYesNo, platform::Icon::kCritical, platform::Answer::kYes});
  if (answer == platform::Answer::kYes) return decision::kResume;
  if (answer == platform::Answer::kNo) return decision::kEndProgram;
  return decision::kNoAnswer;
}

void EndProgram(Run& run, int exit_code) {
  run.FinishPendingWrites();
  run.ui.EndProgram(exit_code);
  std::abort();  // a user interface that returns from EndProgram is broken
}

}  // namespace zc
