// Index entries and the one change the program makes to an index: adding an
// entry for a row it adds to a system table. Entries are a flag byte and an
// order-preserving form of each key column, then the row's address.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "jet/allocator.h"
#include "jet/bytes.h"
#include "jet/page_file.h"
#include "jet/table_definition.h"

namespace zc::jet {

// Where this program cannot add a table to a catalog, Access can; from then
// on the program replaces the table, which needs no new catalog entry.
constexpr std::string_view kCreateOnceInAccess =
    "create the table once in Access (with any field), and later runs replace it";

// One key column's part of an entry.
Blob IndexKeyLong(std::int32_t value, bool ascending);
// Text sorted as Access's General order: letters without regard to case.
// Throws Unsupported for a character outside the ones this program can sort.
Blob IndexKeyText(const std::string& text, bool jet4, bool ascending);

// Adds the entry `key` for the row at `row` to `index` of the table defined
// at `table_page`, as Access does: a full page is split in two, the first
// half going to a new page before it, and the page above takes an entry for
// the new page (a full root moves down a level first). New pages join the
// index's page map. True when no entry had the same key before; throws
// Damaged for a repeated key of a unique index and for pages that are no
// index pages of that table.
bool InsertIndexEntry(PageFile& file, PageAllocator& pages, std::uint32_t table_page,
                      const RealIndex& index, const Blob& key, RowId row, bool unique);

}  // namespace zc::jet
