// Index entries and the one change the program makes to an index: adding an
// entry for a row it adds to a system table. Entries are a flag byte and an
// order-preserving form of each key column, then the row's address.
#pragma once

#include <cstdint>
#include <string>

#include "jet/bytes.h"
#include "jet/page_file.h"
#include "jet/table_def.h"

namespace zc::jet {

// One key column's part of an entry.
Blob IndexKeyLong(std::int32_t value, bool ascending);
// Text sorted as Access's General order: letters without regard to case.
// Throws Unsupported for a character outside the ones this program can sort.
Blob IndexKeyText(const std::string& text, bool jet4, bool ascending);

// Adds the entry `key` for the row at `row` to the index of the table defined
// at `table_page` whose root page is `root`; true when no entry had the same
// key before. Throws Unsupported when the index spans more than its root page
// or the root page is full, so that the caller can leave the file as it was,
// and Damaged when `root` is no index page of that table.
bool InsertIndexEntry(PageFile& file, std::uint32_t table_page, std::uint32_t root, const Blob& key,
                      RowId row, bool unique);

}  // namespace zc::jet
