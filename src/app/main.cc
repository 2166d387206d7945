// Start-up of the configuration program.
#include <cstdio>

#include "app/console_ui.h"
#include "errors/start_up.h"
#include "project/locations.h"

int main(int argc, char** argv) {
  zc::ConsoleUi ui;
  zc::ProjectRun run(zc::platform::CurrentProcess(argc, argv), ui);
  std::string configuration_ini = zc::GetR7QConfigurationIniPath(run);
  bool integrated = zc::GetStartModeIntegrated(run);
  zc::GetExistingMachines(run, configuration_ini);
  std::printf("%s %d.%d.%d: %s start, %zu machine(s), program.ini %s\n",
              run.ExecutableName().c_str(), run.process.version.major, run.process.version.minor,
              run.process.version.revision,
              integrated       ? "integrated"
              : run.SilentMode ? "silent"
                               : "standalone",
              run.ExistingMachines.empty() ? 0 : run.ExistingMachines.size() - 1,
              run.ProgramIniPath.empty() ? "(none)" : run.ProgramIniPath.c_str());
  return run.failures_reported ? zc::exit_status::kDoneWithFailures : zc::exit_status::kDone;
}
