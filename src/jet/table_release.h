// Dropping a table's storage, as DROP TABLE does: every page it owns goes
// back to the free pages, its long values and usage maps are deleted.
#pragma once

#include "jet/allocator.h"
#include "jet/page_file.h"
#include "jet/table_definition.h"

namespace zc::jet {

// Frees all of `table` but the first page of its definition, which the
// caller reuses for the table that takes its place.
void ReleaseTable(PageFile& file, PageAllocator& pages, const TableDefinition& table);

}  // namespace zc::jet
