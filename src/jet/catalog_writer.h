// Keeping the catalog true to a table the program has just written: the
// entry of a table it replaced, or a new entry (with the access rights its
// sibling tables have) for one it added. The system tables' indexes follow.
#pragma once

#include <string>

#include "jet/allocator.h"
#include "jet/catalog.h"
#include "jet/page_file.h"

namespace zc::jet {

// The entry of a table whose definition was rewritten in place: a new update
// time, and no stored properties of its old fields.
void RenewCatalogEntry(PageFile& file, const CatalogEntry& entry);

// Enters a new table, defined at `definition_page`, into the catalog.
// Throws Unsupported where this program cannot extend the catalog's index.
void AddCatalogEntry(PageFile& file, PageAllocator& pages, const std::string& name,
                     std::uint32_t definition_page);

}  // namespace zc::jet
