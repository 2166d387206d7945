// The stamp each run leaves in the component's configuration file: which
// program version wrote it, in which start mode, and for which editor.
#pragma once

#include "project/project_run.h"

namespace zc {

// Writes S_Prog ("<major>.<minor>.<revision> - Integrated" or " - Standalone")
// and S_Editor (the encoded value of the first environment entry) into section
// Info of the configuration file, replacing an earlier stamp.
void WriteEditInfo(ProjectRun& run);

}  // namespace zc
