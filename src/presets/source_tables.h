// The steps on the source database before the rows are generated: the name
// patterns of Source_DEFS, and PRESET_DEFS made anew from the template.
#pragma once

#include <string>

#include "db/database.h"
#include "errors/procedure.h"
#include "presets/preset_run.h"

namespace zc {

// Fills VarNamePatterns from Source_DEFS of the source database. A row that
// cannot be read leaves bare names for part 1, and reading goes on; a table
// that cannot be opened or gone through is reported and leaves them too.
void ReadPatterns(PresetRun& run, Procedure& proc, const std::string& source);

// PRESET_DEFS dropped and made anew with exactly the template's fields. False
// when the new table could not be made.
bool RebuildPresetTable(Procedure& proc, db::Database& db);

}  // namespace zc
