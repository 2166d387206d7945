#include "jet/allocator.h"

#include <algorithm>
#include <string>
#include <utility>

namespace zc::jet {
namespace {

constexpr RowId kFreePageMap{1, 0};

void SetBit(Blob& bytes, std::size_t at, std::size_t bit, bool on) {
  const auto mask = static_cast<std::uint8_t>(1 << (bit % 8));
  if (on) {
    bytes[at + bit / 8] |= mask;
  } else {
    bytes[at + bit / 8] &= static_cast<std::uint8_t>(~mask);
  }
}

void AddMapPages(PageFile& file, RowId where, std::set<std::uint32_t>& pages) {
  if (where.page == 0) return;
  const UsageMap map = ReadUsageMap(file, where);
  pages.insert(where.page);
  pages.insert(map.pages.begin(), map.pages.end());
  pages.insert(map.bitmap_pages.begin(), map.bitmap_pages.end());
}

}  // namespace

std::set<std::uint32_t> PagesInUse(PageFile& file, const std::vector<CatalogEntry>& entries,
                                   const CatalogEntry* except) {
  std::set<std::uint32_t> pages;
  for (const CatalogEntry& entry : entries) {
    if (entry.type != object_type::kTable || &entry == except) continue;
    const TableDefinition table = ReadTableDefinition(file, entry.DefinitionPage());
    pages.insert(table.pages.begin(), table.pages.end());
    AddMapPages(file, table.owned_map, pages);
    AddMapPages(file, table.free_map, pages);
    for (const RealIndex& index : table.real_indexes) AddMapPages(file, index.usage_map, pages);
    for (const ColumnMaps& maps : table.column_maps) {
      AddMapPages(file, maps.owned, pages);
      AddMapPages(file, maps.free, pages);
    }
  }
  return pages;
}

PageAllocator::PageAllocator(PageFile& file, std::set<std::uint32_t> in_use)
    : file_(file),
      map_(ReadUsageMap(file, kFreePageMap)),
      in_use_(std::move(in_use)),
      end_(file.page_count()) {
  in_use_.insert(map_.bitmap_pages.begin(), map_.bitmap_pages.end());
  for (std::uint32_t page : map_.pages) {
    // Pages 0 to 2 hold the header, this map and the catalog: never free.
    if (page <= 2 || page >= end_) continue;
    // Handing out such a page would overwrite what uses it.
    if (in_use_.count(page))
      Damaged("its map of free pages lists page " + std::to_string(page) + ", which is in use");
    free_.insert(page);
  }
}

std::uint32_t PageAllocator::Allocate() {
  if (!free_.empty()) {
    const std::uint32_t page = *free_.begin();
    free_.erase(free_.begin());
    return page;
  }
  return end_++;
}

void PageAllocator::Release(std::uint32_t page) {
  if (page <= 2 || page >= end_ || in_use_.count(page) || !free_.insert(page).second) return;
  // A freed page must not pass for what it was, as Access leaves it too.
  if (page < file_.page_count()) {
    Blob bytes = file_.Read(page);
    std::fill(bytes.begin(), bytes.begin() + 4, 0);
    file_.Write(page, bytes);
  }
}

std::uint32_t PageAllocator::Save() {
  // The bitmap pages are written anew, on the lowest free pages: their old
  // ones are free for that, and then hold the end of the file no longer.
  for (std::uint32_t& bitmap : map_.bitmap_pages) {
    if (bitmap == 0) continue;
    in_use_.erase(bitmap);
    Release(std::exchange(bitmap, 0));
  }
  // Free pages at the end are cut off, so that a table that shrank leaves no
  // pages behind that the map could no longer reach.
  while (end_ > 3 && IsFree(end_ - 1)) free_.erase(--end_);
  // Access moves on to bitmap pages once the file outgrows the inline window.
  if (map_.type == map_type::kInline && end_ > map_.first_page + map_.bitmap_bytes * 8) {
    map_.type = map_type::kReference;
    map_.bitmap_pages.assign((map_.row_size - 1) / 4, 0);
  }
  if (map_.type == map_type::kInline) {
    SaveInline();
  } else {
    SaveReference();
  }
  return end_;
}

// Pages before the window count as used: a free one left behind there is
// only space lost until the file is compacted.
void PageAllocator::SaveInline() {
  const auto reach = static_cast<std::uint32_t>(map_.bitmap_bytes * 8);
  Blob row(map_.row_size, 0);
  row[0] = map_type::kInline;
  Put32(row, 1, map_.first_page);
  for (std::uint32_t bit = 0; bit < reach; ++bit) {
    const std::uint32_t page = map_.first_page + bit;
    SetBit(row, 5, bit, page >= end_ || IsFree(page));
  }
  StoreUsageMapRow(file_, kFreePageMap, row);
}

void PageAllocator::SaveReference() {
  const Format& f = file_.format();
  const std::size_t per_page = f.PagesPerMapPage();
  // Bitmap pages first: one made now takes a page the bitmaps must show used.
  std::vector<std::uint32_t> at(map_.bitmap_pages.size(), 0);
  for (std::size_t i = 0; i < at.size(); ++i) {
    if (i * per_page < end_) at[i] = Allocate();
  }
  Blob row(map_.row_size, 0);
  row[0] = map_type::kReference;
  for (std::size_t i = 0; i < at.size(); ++i) {
    if (at[i] == 0) continue;  // all beyond the file: free without a page
    Blob bits(f.page_size, 0);
    bits[0] = page_type::kUsageMap;
    bits[1] = 0x01;
    for (std::size_t bit = 0; bit < per_page; ++bit) {
      const auto page = static_cast<std::uint32_t>(i * per_page + bit);
      SetBit(bits, 4, bit, page >= end_ || IsFree(page));
    }
    file_.Write(at[i], bits);
    Put32(row, 1 + 4 * i, at[i]);
  }
  StoreUsageMapRow(file_, kFreePageMap, row);
}

void RewriteUsageMap(PageFile& file, PageAllocator& allocator, RowId where,
                     const std::vector<std::uint32_t>& pages) {
  std::vector<std::uint32_t> bitmaps = ReadUsageMap(file, where).bitmap_pages;
  std::erase(bitmaps, 0u);
  StoreUsageMapRow(file, where, EncodeUsageMap(file, pages, [&] {
                     if (bitmaps.empty()) return allocator.Allocate();
                     const std::uint32_t page = bitmaps.back();
                     bitmaps.pop_back();
                     return page;
                   }));
  for (std::uint32_t bitmap : bitmaps) allocator.Release(bitmap);
}

}  // namespace zc::jet
