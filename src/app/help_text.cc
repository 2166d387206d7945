#include "app/help_text.h"

#include <string_view>

#include "app/console_ui.h"
#include "errors/logs.h"
#include "errors/run.h"

namespace zc {
namespace {

// One line of a two-column list.
std::string Row(const std::string& left, size_t width, const std::string& right) {
  return "  " + left + std::string(left.size() < width ? width - left.size() : 1, ' ') + right +
         "\n";
}

std::string StartsAndKeys(const std::string& name) {
  const size_t width = name.size() + 35;
  return "Starts:\n" + Row(name, width, "standalone: the window waits for OK") +
         Row(name + " /EXTERNAL=R7QCFG /LOGFILE=<file>", width,
             "integrated, by the project's configuration program") +
         Row(name + " /EXTERNAL=SILENT", width,
             "silent: the work runs at once, without window or dialog") +
         "\nKeys, in any letter case:\n" +
         Row("/EXTERNAL=R7QCFG|SILENT", 25, "the start mode; any other value starts standalone") +
         Row("/LOGFILE=<file>", 25, "the error log of an integrated start") +
         Row("/PREVIEW", 25,
             "with any start: only the run report is written, telling what a run would do") +
         Row("--help, -h, /?", 25, "this text; --version the program's version");
}

std::string StatusesAndLogs(const Run& run, const std::string& component) {
  std::string report = platform::JoinPath(platform::JoinPath(run.ProjectFolder(), component),
                                          component + "_Report.txt");
  return "\nExit status:\n" + Row(std::to_string(exit_status::kDone), 3, "the work ran cleanly") +
         Row(std::to_string(exit_status::kEndedOnFailure), 3,
             "a reported failure ended the program") +
         Row(std::to_string(exit_status::kDoneWithFailures), 3,
             "the work ran, but failures were reported") +
         Row(std::to_string(exit_status::kCancelled), 3, "the user cancelled") + "\nLogs:\n" +
         Row("error log", 18, ErrorLogPath(run) + " (integrated: the LOGFILE path)") +
         Row("service-pack log", 18,
             run.process.service_pack_log_path +
                 " (what a silent run would have shown; TOLVA_SERVICEPACK_LOG moves it)") +
         Row("run report", 18, report);
}

}  // namespace

bool AsksForHelp(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h" || argument == "/?") return true;
  }
  return false;
}

std::string HelpText(const platform::ProcessFacts& facts) {
  ConsoleUi ui;  // asks nothing: the run only derives the program's places
  Run run(facts, ui);
  const std::string name = run.ExecutableName();
  const std::string component = run.ComponentName().value_or("?");
  return name + ": rebuilds the preset definitions of the component " + component +
         " for every machine of the project " + run.ProjectFolder() + ".\n\n" +
         StartsAndKeys(name) + StatusesAndLogs(run, component);
}

}  // namespace zc
