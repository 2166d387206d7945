// The component's own files, all found from the program's name and place: the
// configuration file, the component and source databases and the machine copy,
// plus what the configuration file declares. Nothing is cached; every call
// derives its answer afresh.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "project/project_run.h"

namespace zc {

// <project>/<component>/<component>.cfg. When that file is missing the user is
// told "File not found: " and the program ends: this never returns then.
std::string GetCFGPath(ProjectRun& run);

// <project>/<component>/<component>.mdb, whether it exists or not.
std::string GetPathOCXMDB(ProjectRun& run);

// <project>/<component>/<component>_Source.mdb, or "" when it is missing.
std::string GetPathSourceOCXMDB(ProjectRun& run);

// <SaveAndRestore>/<component>/<component>.mdb, the folder taken from the given
// configuration ini; "" when that file is missing. The lookup never raises.
std::string GetPathMachineCopyMDB(ProjectRun& run, const std::string& configuration_ini);

// The raw "ValidMachines" value of the configuration file; "" when missing.
std::string GetValidMachines(ProjectRun& run);

// "", "part", then the names that "DataBaseAdditionalFields" lists, split at
// every comma and kept exactly as written (blanks and empty names included).
std::optional<std::vector<std::string>> GetAdditionalFieldsMDB(ProjectRun& run);

// Replaces AdditionalFields, AdditionalFieldsSQL and AdditionalFieldCount.
void GetAddFields(ProjectRun& run);

}  // namespace zc
