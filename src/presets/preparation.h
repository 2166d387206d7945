// The database work of a run: from the template and the earlier table to the
// new component database, end to end.
#pragma once

#include "presets/preset_run.h"

namespace zc {

// Decides the naming system, puts the machine copy in place (integrated
// runs), reads the name patterns, rebuilds PRESET_DEFS in the source database,
// generates the rows, carries the operators' values over, replaces the
// component database with the source database and keeps the source
// database's file times.
void WorkOnMDB(PresetRun& run);

}  // namespace zc
