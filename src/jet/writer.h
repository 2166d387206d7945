// Writing tables into an Access (Jet 3 / Jet 4) file in place: a table is
// dropped and created again with new rows, as Access's own DROP TABLE and
// CREATE TABLE would do it, and every other object keeps its pages.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "jet/field.h"
#include "jet/values.h"

namespace zc::jet {

// Fills `row` with the next row's values (one per field); false when done.
using RowSource = std::function<bool(std::vector<Value>& row)>;

// Replaces the table `name` (its name compared without regard to case, as
// Jet does) of the file at `path`, or adds it when there is none, with the
// fields `fields` and the rows `rows` yields. The file is changed in place:
// give it a copy and rename that over the original when this returns; it
// returns only once the file reads back. Throws jet::Error (kDamaged for a
// file whose definitions cannot take the table, found before anything is
// written), and kDoesNotFit (naming the row and field) for a value
// its field cannot hold.
void ReplaceTable(const std::string& path, const std::string& name,
                  const std::vector<Field>& fields, const RowSource& rows);

// The bytes of a new, empty Access 2000 (Jet 4) database, which tables are
// then written into.
std::span<const std::uint8_t> EmptyJet4Database();

}  // namespace zc::jet
