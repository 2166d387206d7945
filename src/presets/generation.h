// The per-machine preset rows: one copy of the template for every machine the
// component is configured for.
#pragma once

#include "db/database.h"
#include "presets/preset_run.h"

namespace zc {

// The part a value names, as VarNamePatterns counts them: a number, or a text
// holding one, rounded to a whole number from 1 to kMaxPart. Raises "Invalid
// use of Null", "Type mismatch" or "Subscript out of range".
int PartNumber(const db::Value& part);

// Fills the freshly created, empty PRESET_DEFS of `db` (the source database):
// IDs numbered from 1 over all machines, "###machine" resolved and every
// variable name built from its part's pattern in the run's naming system.
void CreateRecordSets(PresetRun& run, db::Database& db);

}  // namespace zc
