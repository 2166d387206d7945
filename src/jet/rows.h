// A stored row split into its columns' bytes. Booleans live in the row's null
// mask: their bit is their value.
#pragma once

#include <vector>

#include "jet/bytes.h"
#include "jet/format.h"
#include "jet/table_definition.h"

namespace zc::jet {

struct Cell {
  bool present = false;  // not Null; for a Boolean, its value
  Bytes bytes;
};

// One cell per column of `table`, in its column order. Throws Damaged.
std::vector<Cell> SplitRow(const Format& format, const TableDefinition& table, Bytes row);
// SplitRow into `cells`, whose block a reader of many rows keeps.
void SplitRowInto(const Format& format, const TableDefinition& table, Bytes row,
                  std::vector<Cell>& cells);

// Throws Damaged unless rows of `table` can be built: every column of a
// type this program writes, stored as its type is, and placed inside the
// row (its null-mask bit, its fixed place or its variable-length place).
void CheckRowLayout(const Format& format, const TableDefinition& table);

// The row of values `cells` (one per column, Booleans by `present`) in the
// stored layout, padded to `min_size` bytes. Throws Damaged through
// CheckRowLayout, and kDoesNotFit when the row does not fit a page.
Blob BuildRow(const Format& format, const TableDefinition& table, const std::vector<Cell>& cells,
              std::size_t min_size = 0);
// BuildRow for a table whose layout CheckRowLayout has passed already, into
// `row`: a writer of a million rows checks its table once, not once a row,
// and builds every row in the same block.
void BuildRowInto(const Format& format, const TableDefinition& table,
                  const std::vector<Cell>& cells, std::size_t min_size, Blob& row);

}  // namespace zc::jet
