// Usage maps: which pages belong to a table, an index or a memo column, and
// which pages of the file are free. A map is a row on a data page, either
// "inline" (a first page and a bitmap) or a "reference" to bitmap pages.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "jet/bytes.h"
#include "jet/page_file.h"

namespace zc::jet {

namespace map_type {
constexpr std::uint8_t kInline = 0;
constexpr std::uint8_t kReference = 1;
}  // namespace map_type

struct UsageMap {
  RowId where;
  std::size_t row_size = 0;  // as stored
  std::uint8_t type = map_type::kInline;
  std::uint32_t first_page = 0;             // inline maps: the page of bit 0
  std::size_t bitmap_bytes = 0;             // inline maps: how far they reach
  std::vector<std::uint32_t> bitmap_pages;  // reference maps: 0 where none (yet)
  std::vector<std::uint32_t> pages;         // the pages it lists, ascending
};

// Reads the map stored as row `where`. Throws Damaged when it cannot.
UsageMap ReadUsageMap(PageFile& file, RowId where);

}  // namespace zc::jet

namespace zc::jet {

// The stored row of a map that lists `pages` (in any order): inline from the first page when
// they all fit its bitmap (as Access writes small tables), else a reference
// to bitmap pages, which `new_page` supplies and which are written here.
Blob EncodeUsageMap(PageFile& file, std::vector<std::uint32_t> pages,
                    const std::function<std::uint32_t()>& new_page);

// Writes a map row of the stored size over row `where` of its page.
void StoreUsageMapRow(PageFile& file, RowId where, const Blob& row);

}  // namespace zc::jet
