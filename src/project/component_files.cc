#include "project/component_files.h"

#include "errors/error_sub.h"
#include "errors/logs.h"
#include "errors/procedure.h"
#include "errors/start_up.h"
#include "platform/platform.h"
#include "settings/ini.h"

namespace zc {
namespace {

// <folder>/<component>/<component><suffix>. The project folder of a program
// in the root is "", which gives "/<component>/...".
std::string ComponentFileIn(ProjectRun& run, const std::string& folder, const char* suffix) {
  std::string name = GetOCXName(run);
  return platform::JoinPath(platform::JoinPath(folder, name), name + suffix);
}

std::string ComponentFile(ProjectRun& run, const char* suffix) {
  return ComponentFileIn(run, run.ProjectFolder(), suffix);
}

}  // namespace

std::string GetCFGPath(ProjectRun& run) {
  Procedure proc(run, "GetCFGPath");
  std::string path;
  bool found = false;
  proc.Step([&] { path = ComponentFile(run, ".cfg"); });
  proc.Step([&] { found = !path.empty() && platform::FileExists(path); });
  if (found) return path;
  proc.Step([&] {
    ShowOrLogFault(run, "File not found: " + std::string(kLFCR) + platform::PathInMessage(path));
  });
  EndProgram(run, exit_status::kEndedOnFailure);
}

std::string GetPathOCXMDB(ProjectRun& run) {
  Procedure proc(run, "GetPathOCXMDB");
  std::string path;
  proc.Step([&] { path = ComponentFile(run, ".mdb"); });
  return path;
}

std::string GetPathSourceOCXMDB(ProjectRun& run) {
  Procedure proc(run, "GetPathSourceOCXMDB");
  std::string path;
  proc.Step([&] {
    std::string candidate = ComponentFile(run, "_Source.mdb");
    if (platform::FileExists(candidate)) path = candidate;
  });
  return path;
}

std::string GetPathMachineCopyMDB(ProjectRun& run, const std::string& configuration_ini) {
  Procedure proc(run, "GetPathMachineCopyMDB");
  std::string folder;
  std::string path;
  proc.Step([&] { folder = LoadIniString(run, "Common", "SaveAndRestore", configuration_ini); });
  proc.Step([&] { path = ComponentFileIn(run, folder, ".mdb"); });
  // A lookup that cannot reach the folder answers "missing" and reports nothing.
  if (path.empty() || !platform::FileExists(path)) return "";
  return path;
}

std::string GetValidMachines(ProjectRun& run) {
  Procedure proc(run, "GetValidMachines");
  std::string machines;
  proc.Step([&] { machines = LoadIniString(run, "Project", "ValidMachines", GetCFGPath(run)); });
  return machines;
}

std::optional<std::vector<std::string>> GetAdditionalFieldsMDB(ProjectRun& run) {
  Procedure proc(run, "GetAdditionalFieldsMDB");
  std::optional<std::vector<std::string>> fields;
  std::string declared;
  proc.Step([&] { fields.emplace(1, ""); });
  proc.Step([&] {
    declared = LoadIniString(run, "Project", "DataBaseAdditionalFields", GetCFGPath(run));
  });
  proc.Step([&] {
    std::string rest = declared.empty() ? "part" : "part," + declared;
    for (auto comma = rest.find(','); comma != std::string::npos; comma = rest.find(',')) {
      fields.value().push_back(rest.substr(0, comma));
      rest.erase(0, comma + 1);
    }
    fields.value().push_back(rest);
  });
  return fields;
}

void GetAddFields(ProjectRun& run) {
  Procedure proc(run, "GetAddFields");
  proc.Step([&] { run.AdditionalFields = GetAdditionalFieldsMDB(run); });
  if (!run.AdditionalFields) return;
  const std::vector<std::string>& fields = *run.AdditionalFields;
  proc.Step([&] {
    std::string sql;
    for (size_t i = 1; i < fields.size(); ++i) sql += ", PRESET_DEFS." + fields[i];
    run.AdditionalFieldsSQL = sql;
  });
  // The settings reader cuts a value at 254 characters, so the list holds at
  // most 256 names and the count always fits its 16 bits.
  proc.Step([&] { run.AdditionalFieldCount = static_cast<std::int16_t>(fields.size() - 1); });
}

}  // namespace zc
