#include "errors/logs.h"

#include "errors/command_text.h"
#include "errors/failure.h"
#include "platform/ansi_text.h"
#include "platform/platform.h"

namespace zc {
namespace {

void AppendLine(Run& run, const std::string& path, std::string_view text, const char* what) {
  run.CommitPendingWrites();
  std::string line = platform::ToAnsi(text);
  line += kCRLF;
  std::string error = path.empty() ? "no path" : platform::AppendToFile(path, line);
  if (!error.empty()) {
    throw Failure(failures::kFileAccess, std::string("Path/File access error: cannot write the ") +
                                             what + " (" + error + ")");
  }
}

}  // namespace

std::string StandaloneLogPath(const Run& run) {
  return platform::JoinPath(run.ProjectFolder(), "R7Qcfglog.txt");
}

std::string ErrorLogPath(const Run& run) {
  std::string standalone_log = StandaloneLogPath(run);
  if (!run.IntegratedMode) return standalone_log;
  // An integrated start without a usable LOGFILE still keeps its log, beside
  // the project, rather than losing every line.
  std::string named = LogfileOf(run.process.command_line);
  return named.empty() ? standalone_log : named;
}

std::string WriteErrorLog(Run& run, std::string_view line) {
  run.failures_reported = true;  // whatever lands in the error log wants a look
  std::string path = ErrorLogPath(run);
  try {
    AppendLine(run, path, line, "error log");
  } catch (const Failure&) {
    // A LOGFILE that cannot be written (its folder is gone) must not cost
    // the line: it goes to the project's own log, and the note says where.
    std::string standalone_log = StandaloneLogPath(run);
    if (path == standalone_log) throw;
    path = standalone_log;
    AppendLine(run, path, line, "error log");
  }
  return std::string("Error logged to ") + std::string(kLFCR) + platform::PathInMessage(path);
}

void WriteServicePackLog(Run& run, std::string_view text) {
  std::string entry = "! Fault " + run.ExecutableName() + ": " + std::string(text);
  AppendLine(run, run.process.service_pack_log_path, entry, "service-pack log");
}

void ShowOrLogFault(Run& run, std::string_view text) {
  if (run.SilentMode) {
    WriteServicePackLog(run, text);
    return;
  }
  run.MsgBox({std::string(text), run.ExecutableName(), platform::Buttons::kOk,
              platform::Icon::kCritical, platform::Answer::kOk});
}

}  // namespace zc
