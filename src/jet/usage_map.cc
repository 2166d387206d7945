#include "jet/usage_map.h"

#include <algorithm>

#include "jet/data_page.h"

namespace zc::jet {
namespace {

void AddBits(Bytes bitmap, std::uint32_t first_page, std::vector<std::uint32_t>& pages) {
  for (std::size_t i = 0; i < bitmap.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      if (bitmap[i] & (1 << bit))
        pages.push_back(first_page + static_cast<std::uint32_t>(i * 8 + bit));
    }
  }
}

}  // namespace

UsageMap ReadUsageMap(PageFile& file, RowId where) {
  const Format& f = file.format();
  if (where.page == 0) Damaged("a usage map on page 0");
  const Blob page = file.Read(where.page);
  if (page[0] != page_type::kData) Damaged("a usage map outside a data page");
  const RowSpan span = RowAt(f, page, where.row);
  if (span.size() < 5) Damaged("a usage map too short");
  const Bytes row = Bytes(page).subspan(span.start, span.size());
  UsageMap map;
  map.where = where;
  map.row_size = row.size();
  map.type = row[0];
  if (map.type == map_type::kInline) {
    map.first_page = Get32(row, 1);
    // Pages are numbered in three bytes; beyond that the numbers would wrap.
    if (map.first_page > kMaxPage) Damaged("a usage map of pages beyond any file");
    map.bitmap_bytes = row.size() - 5;
    AddBits(row.subspan(5), map.first_page, map.pages);
    return map;
  }
  if (map.type != map_type::kReference) Damaged("a usage map of unknown type");
  const std::size_t per_page = f.PagesPerMapPage();
  for (std::size_t at = 1; at + 4 <= row.size(); at += 4) {
    const std::uint32_t named = Get32(row, at);
    const std::size_t base = map.bitmap_pages.size() * per_page;
    // Access leaves the slots of stretches beyond the file's end as they
    // happen to be, and reads numbers beyond three bytes (signed) as none.
    const bool none = base >= file.page_count() || named == 0 || named > kMaxPage;
    map.bitmap_pages.push_back(none ? 0 : named);
    if (none) continue;
    const Blob bits = file.Read(named);
    if (bits[0] != page_type::kUsageMap) Damaged("a usage map page");
    AddBits(Bytes(bits).subspan(4), static_cast<std::uint32_t>(base), map.pages);
  }
  return map;
}

}  // namespace zc::jet

namespace zc::jet {

Blob EncodeUsageMap(PageFile& file, std::vector<std::uint32_t> pages,
                    const std::function<std::uint32_t()>& new_page) {
  const Format& f = file.format();
  // A list read from a file and added to is neither sorted nor free of repeats.
  std::sort(pages.begin(), pages.end());
  pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
  Blob row(f.UsageMapRowSize(), 0);
  const std::size_t reach = f.inline_map_bytes * 8;
  if (pages.empty() || pages.back() - pages.front() < reach) {
    row[0] = map_type::kInline;
    // Access starts small maps at page 0 and moves them along only when it must.
    const std::uint32_t first = pages.empty() || pages.back() < reach ? 0 : pages.front();
    Put32(row, 1, first);
    for (std::uint32_t page : pages)
      row[5 + (page - first) / 8] |= static_cast<std::uint8_t>(1 << ((page - first) % 8));
    return row;
  }
  row[0] = map_type::kReference;
  const std::size_t per_page = f.PagesPerMapPage();
  const std::size_t slots = (row.size() - 1) / 4;
  if (pages.back() / per_page >= slots) {
    Unsupported("the table would make the file larger than the 2 GB an Access file can hold");
  }
  std::vector<Blob> bitmaps(pages.back() / per_page + 1);
  for (std::uint32_t page : pages) {
    Blob& bits = bitmaps[page / per_page];
    if (bits.empty()) {
      bits.assign(f.page_size, 0);
      bits[0] = page_type::kUsageMap;
      bits[1] = 0x01;
    }
    const std::size_t bit = page % per_page;
    bits[4 + bit / 8] |= static_cast<std::uint8_t>(1 << (bit % 8));
  }
  for (std::size_t i = 0; i < bitmaps.size(); ++i) {
    if (bitmaps[i].empty()) continue;
    const std::uint32_t at = new_page();
    file.Write(at, bitmaps[i]);
    Put32(row, 1 + 4 * i, at);
  }
  return row;
}

void StoreUsageMapRow(PageFile& file, RowId where, const Blob& row) {
  Blob page = file.Read(where.page);
  const RowSpan span = RowAt(file.format(), page, where.row);
  if (span.size() != row.size()) Damaged("a usage map of unexpected size");
  PutBytes(page, span.start, row);
  file.Write(where.page, page);
}

}  // namespace zc::jet
