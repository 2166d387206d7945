// What keeps a run from costing the display its table: a component database
// that may not be replaced now is refused before any file changes, and a
// rebuilt table that failures left without its rows or its carried values
// does not replace the display's.
#pragma once

#include <cstdint>
#include <string>

#include "db/database.h"
#include "presets/run_report.h"

namespace zc {

// Why the component database at `path` may not be replaced now: the display
// or Access holds it open (its lock file lies beside it), or it is read-only
// or (on Windows) held open by another program. The text says what to do;
// empty when it may be replaced or does not exist.
std::string RefusedComponent(const std::string& path);

// A rebuilt PRESET_DEFS (in `target`) without one of the five carried fields
// can take none of the earlier values: raises item-not-found naming the field
// and the template that lacks it, rather than every row failing its look-up
// unexplained.
void RequireCarriedFields(db::Database& target, const std::string& source_path);

// Why the rebuilt table (`rebuilt_rows` rows) must not replace the display's
// when failures were reported during the work: the earlier table could not
// be read, or the failures left the rebuilt one without rows while the
// earlier one had some, or kept every earlier row's values from being
// carried. Empty when it may replace it, and always without failures.
std::string WithheldBecause(const RunReport& report, bool failures, std::int64_t rebuilt_rows);

}  // namespace zc
