#include "project/locations.h"

#include "errors/procedure.h"
#include "platform/platform.h"
#include "settings/ini.h"

namespace zc {
namespace {

std::string InParameterFolder(const std::string& folder, const char* file) {
  return platform::JoinPath(platform::JoinPath(folder, "parameter"), file);
}

// Either list comes from one reading of its file: nothing writes the file
// while the list is made.
void ListMachinesOfConfigurationIni(ProjectRun& run, const std::string& configuration_ini) {
  if (configuration_ini.empty() || !platform::FileExists(configuration_ini)) return;
  const IniEntries common(configuration_ini);
  for (int n = 1; n <= 5; ++n) {
    std::string name = common.String("Common", "NameM" + std::to_string(n));
    if (name == "-" || name.empty()) return;
    run.ExistingMachines.resize(n + 1);
    run.ExistingMachines[n] = name;
  }
}

void ListMachinesOfProgramIni(ProjectRun& run) {
  std::int16_t count = LoadIniInteger(run, "Project", "NumberOfMachines", run.ProgramIniPath);
  const IniEntries program_ini(run.ProgramIniPath);
  for (int n = 1; n <= count; ++n) {
    run.ExistingMachines.resize(n + 1);
    run.ExistingMachines[n] = program_ini.String("Machine" + std::to_string(n), "MachineName");
  }
}

}  // namespace

std::string GetR7QConfigurationIniPath(ProjectRun& run) {
  Procedure proc(run, "GetR7QConfigurationIniPath");
  std::string path;
  proc.Step([&] {
    std::string candidate = InParameterFolder(run.ProjectFolder(), "r7qconfiguration.ini");
    if (platform::FileExists(candidate)) path = candidate;
  });
  return path;
}

std::string GetProgramIniPath(ProjectRun& run, std::int32_t selector) {
  Procedure proc(run, "GetProgramIniPath");
  std::string path;
  proc.Step([&] {
    std::string candidate;
    if (selector == 1 && run.IntegratedMode) {
      std::string copy_folder =
          LoadIniString(run, "Common", "SaveAndRestore", GetR7QConfigurationIniPath(run));
      candidate = InParameterFolder(copy_folder, "program.ini");
    } else {
      candidate = InParameterFolder(run.ProjectFolder(), "Program.ini");
    }
    if (!candidate.empty() && platform::FileExists(candidate)) path = candidate;
  });
  return path;
}

std::string GetFileNameOnly(ProjectRun& run, const std::string& path) {
  return platform::FileNameOf(path);
}

void GetExistingMachines(ProjectRun& run, const std::string& configuration_ini) {
  Procedure proc(run, "GetExistingMachines");
  proc.Step([&] { run.ProgramIniPath = GetProgramIniPath(run, 1); });
  proc.Step([&] {
    if (run.IntegratedMode) {
      ListMachinesOfConfigurationIni(run, configuration_ini);
    } else {
      ListMachinesOfProgramIni(run);
    }
  });
}

}  // namespace zc
