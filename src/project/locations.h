// Where the project's settings lie and which machines the project has.
#pragma once

#include <cstdint>
#include <string>

#include "project/project_run.h"

namespace zc {

// <project>/parameter/r7qconfiguration.ini, or "" when that file does not exist.
std::string GetR7QConfigurationIniPath(ProjectRun& run);

// The program.ini for this start: selector 1 in an integrated start takes the
// one of the "SaveAndRestore" folder, everything else the project's own. ""
// when that file does not exist.
std::string GetProgramIniPath(ProjectRun& run, std::int32_t selector);

// The last component of a path; "" when it ends with a separator.
std::string GetFileNameOnly(ProjectRun& run, const std::string& path);

// Fills ExistingMachines (from the configuration ini in an integrated start,
// from program.ini otherwise) and ProgramIniPath.
void GetExistingMachines(ProjectRun& run, const std::string& configuration_ini);

}  // namespace zc
