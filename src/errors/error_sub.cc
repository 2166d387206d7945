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

std::string FailureLine(Run& run, std::int32_t number, const std::string& source,
                        const std::string& description, const std::string& proc_name) {
  // Never GetOCXName here: it reports its own failures to this routine.
  std::string component = run.ComponentName().value_or("");
  return "Fehler in " + component + " / " + source + " / " + proc_name + " (Nr. " +
         std::to_string(number) + ") :" + description;
}

}  // namespace

std::int32_t ErrorSub(Run& run, std::int32_t ErrNumber, const std::string& ErrSource,
                      const std::string& ErrDescription, const std::string& ProcName, bool Fatal) {
  run.failures_reported = true;
  std::string line = FailureLine(run, ErrNumber, ErrSource, ErrDescription, ProcName);
  // A failure that repeats row after row (a field missing from every row) is
  // shown and logged once; its repeats are counted and logged at the end.
  auto repeated = run.resumed_failures.find(line);
  if (!Fatal && repeated != run.resumed_failures.end()) {
    ++repeated->second;
    return decision::kResume;
  }
  std::string note = LogOrExplain(run, line);
  std::string message =
      "Unexpected error!" + std::string(kLFCR) + ErrDescription + std::string(kLFCR) + note;
  if (run.SilentMode) {
    LogSilently(run, message);
    run.resumed_failures.emplace(line, 0);
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
  if (answer == platform::Answer::kNo) return decision::kEndProgram;
  run.resumed_failures.emplace(line, 0);
  return answer == platform::Answer::kYes ? decision::kResume : decision::kNoAnswer;
}

void LogRepeatedFailures(Run& run) {
  for (auto& [line, repeats] : run.resumed_failures) {
    if (repeats == 0) continue;
    LogOrExplain(run, line + " (" + std::to_string(repeats) + " more times)");
    repeats = 0;
  }
}

void EndProgram(Run& run, int exit_code) {
  LogRepeatedFailures(run);
  run.FinishPendingWrites();
  run.UnlockComponent();  // last: the scratch files are gone
  run.ui.EndProgram(exit_code);
  std::abort();  // a user interface that returns from EndProgram is broken
}

}  // namespace zc
