// Copies the tables of an open Jet file into an SQLite file, each field under
// its Jet type's declared name and with no key, index, default or constraint.
#pragma once

#include <string>
#include <vector>

#include "db/jet_import.h"
#include "jet/reader.h"

namespace zc::db {

// Writes every table of `reader` into the empty SQLite file `file` in one
// transaction. Failures of the Jet side come as jet::Error; SQLite's
// as zc::Failure 75 naming `shown_path`.
std::vector<ImportedTable> CopyTables(jet::Reader& reader, const std::string& file,
                                      const std::string& shown_path);

}  // namespace zc::db
