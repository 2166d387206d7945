// Access (Jet 4) .mdb files written by tests, for the tables a test needs:
// no Access and no Java library is at hand where the tests run, and the
// plants' own files never hold exactly the case under test.
//
// The files are as small as the job allows: no indexes, no long values, text
// kept as plain UTF-16. They open in any Jet 4 reader.
#pragma once

#include <string>
#include <vector>

#include "support/db_builder.h"

namespace zc::testing {

// A table as db_builder describes one. The declared types it can hold are
// "BIT", "SHORT", "LONG", "DOUBLE" and "TEXT(n)" (n from 1 to 255); values
// are Null or of their field's kind (Booleans are never Null in Jet).
using JetTable = TableSpec;

// Writes (or replaces) a Jet 4 file holding exactly these tables, in this
// order. Throws std::invalid_argument for a type, a value or a size it cannot
// write (up to 27 tables, one page of definition and 512 pages of rows each),
// std::runtime_error when the file cannot be written.
void WriteJet4File(const std::string& path, const std::vector<JetTable>& tables);

}  // namespace zc::testing
