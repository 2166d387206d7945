// The run-wide values of the project layer, in parts that are each filled at
// one point of the run: the machine list and the program.ini chosen at load,
// and the additional-field list of the component.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "errors/run.h"

namespace zc {

// Filled once, when the window loads (GetExistingMachines); read by the work.
struct ProjectMachines {
  // Machine names at indexes 1..N; index 0 is never used and holds "". Empty
  // means unsized: no machine was ever listed, not even index 0.
  std::vector<std::string> ExistingMachines;
  // The program.ini chosen for this start, "" when that file does not exist.
  std::string ProgramIniPath;
};

// Replaced together by each GetAddFields, right before the take-over.
struct AdditionalFieldList {
  // Element 0 "", element 1 "part", then the configured names; nullopt before
  // the first GetAddFields.
  std::optional<std::vector<std::string>> AdditionalFields;
  std::string AdditionalFieldsSQL;
  std::int16_t AdditionalFieldCount = 0;
};

// The run's start-up facts and the project layer's parts.
struct ProjectRun : Run, ProjectMachines, AdditionalFieldList {
  using Run::Run;
};

}  // namespace zc
