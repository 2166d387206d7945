// Keeping the catalog true to a table the program has just written: the
// entry of a table it replaced, or a new entry (with the access rights its
// sibling tables have) for one it added. The system tables' indexes follow.
#pragma once

#include <string>
#include <vector>

#include "jet/allocator.h"
#include "jet/catalog.h"
#include "jet/page_file.h"
#include "jet/table_definition.h"

namespace zc::jet {

// The entry of a table whose definition is rewritten in place: a new update
// time, and no stored properties of its old fields. Everything it checks is
// checked before it writes.
void RenewCatalogEntry(PageFile& file, const CatalogEntry& entry);

// A row for a system table, built (and so checked against the table's
// definition) before anything is written.
struct SystemRow {
  TableDefinition table;
  Blob bytes;
  std::vector<Blob> keys;  // its entry in each index of the table
};

// The rows that enter a new table, defined at `definition_page`, into the
// catalog: its entry, and the access rights it takes from a sibling table.
// Reads only. Throws Damaged for a catalog that cannot take them, and
// Unsupported where this program cannot extend the catalog's index.
std::vector<SystemRow> NewCatalogRows(PageFile& file, const std::string& name,
                                      std::uint32_t definition_page);
// Adds them, with their entries in the indexes of their tables.
void AddSystemRows(PageFile& file, PageAllocator& pages, const std::vector<SystemRow>& rows);

// Whether the catalog's index by (ParentId, Name) leads to the entry of the
// table `name`, as Access looks a table up. True for a catalog without that
// index. Throws Damaged when the catalog cannot be read.
bool CatalogIndexFinds(PageFile& file, const std::string& name);

}  // namespace zc::jet
