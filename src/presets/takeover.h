// Carrying the operators' values (abs_min, abs_max, min, max, pass) from the
// earlier preset table into the freshly generated rows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "db/database.h"
#include "presets/preset_run.h"

namespace zc {

// For every row of the earlier table (`copyRs`, over the component database's
// PRESET_DEFS) finds the generated row of the same machine, variable and
// offset in `targetDb` and copies the five values into it. Releases `copyRs`.
void TakeoverMachineCopyMDBData(PresetRun& run, db::Database& targetDb,
                                std::unique_ptr<db::Recordset>& copyRs);

// The count check of the earlier rows: when the rows counted differ from the
// rows the table claims and from the rows generated, the run is aborted.
// True when the take-over may go on.
bool CheckCopyRowCount(PresetRun& run, db::Database& target, std::int32_t counted,
                       std::int32_t reported);

}  // namespace zc
