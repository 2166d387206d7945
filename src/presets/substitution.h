// Keeping names consistent: placeholders resolved in a text, the component
// database's variable names converted to the run's naming system, and the
// older layout's category field brought to its current name.
#pragma once

#include <string>

#include "presets/preset_run.h"

namespace zc {

// `text` with the first occurrence of `search` (found without regard to case)
// replaced by `replacement` as it is; the rest keeps its letter case.
std::string ReplaceSearchItem(PresetRun& run, const std::string& text, const std::string& search,
                              const std::string& replacement);

// The component database's path; "" when there is none to read: no such
// file, nor a machine copy put in its place, or one that could not be read
// (that is reported once, before the work reads it).
std::string ExistingComponentDatabase(PresetRun& run);

// Renames, in the PRESET_DEFS of the component database at `component` (as
// ExistingComponentDatabase found it; "" does nothing), every variable of the
// other naming system's form to the run's form.
void VarNameInQuelleErsetzen(PresetRun& run, const std::string& component,
                             const std::string& visiwin32_form,
                             const std::string& visiwinstudio_form);

// Renames a field "categorie" (any letter case) of the component database's
// PRESET_DEFS to "category_id", keeping its data.
void CategorieNachCategoryID(PresetRun& run);

}  // namespace zc
