// The question asked before the user gives up a run: Cancel and the close box
// both come here. A silent run never asks and always gives up.
#pragma once

#include "project/project_run.h"

namespace zc {

// True when the run is to be given up (logged to the error log), false when
// the user carries on. Carries no failure handler: a failure, such as an
// error log that cannot be written, reaches the caller's.
bool ConfirmCancel(ProjectRun& run);

}  // namespace zc
