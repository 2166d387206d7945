// Hands out pages and takes them back, keeping the file's map of free pages
// (page 1, row 0) the way Access keeps it: a set bit is a free page, and the
// pages beyond the end of the file count as free.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "jet/catalog.h"
#include "jet/page_file.h"
#include "jet/usage_map.h"

namespace zc::jet {

// The pages that the tables in `entries` but `except` use: their
// definitions, their usage maps and the pages those list. Throws Damaged
// when one of them cannot be read.
std::set<std::uint32_t> PagesInUse(PageFile& file, const std::vector<CatalogEntry>& entries,
                                   const CatalogEntry* except);

class PageAllocator {
 public:
  // `in_use` (from PagesInUse) are never handed out nor taken back. Throws
  // Damaged when the map of free pages lists one of them.
  PageAllocator(PageFile& file, std::set<std::uint32_t> in_use);

  // A free page inside the file, lowest first, else the next page past its end.
  std::uint32_t Allocate();
  // The page is free from now on; its contents no longer matter.
  void Release(std::uint32_t page);
  // Writes the map of free pages back, as bitmap pages once the file has
  // grown past its inline window. Returns how many pages the file keeps: the
  // caller cuts it to that length.
  std::uint32_t Save();

 private:
  void SaveInline();
  void SaveReference();
  bool IsFree(std::uint32_t page) const { return free_.count(page) != 0; }

  PageFile& file_;
  UsageMap map_;
  std::set<std::uint32_t> in_use_;
  std::set<std::uint32_t> free_;  // below end_
  std::uint32_t end_;             // pages handed out so far end here
};

// Rewrites the map stored as row `where` to list `pages`, in its own bitmap
// pages first; those it no longer needs are freed.
void RewriteUsageMap(PageFile& file, PageAllocator& allocator, RowId where,
                     const std::vector<std::uint32_t>& pages);

}  // namespace zc::jet
