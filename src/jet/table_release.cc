#include "jet/table_release.h"

#include <map>
#include <set>

#include "jet/data_page.h"
#include "jet/long_value.h"
#include "jet/rows.h"
#include "jet/scan.h"
#include "jet/usage_map.h"

namespace zc::jet {
namespace {

// Frees the pages a map lists that are of `type` and belong to `owner`, and
// the map's own bitmap pages.
void ReleaseListed(PageFile& file, PageAllocator& pages, RowId where, std::uint8_t type,
                   std::uint32_t owner) {
  if (where.page == 0) return;
  const UsageMap map = ReadUsageMap(file, where);
  for (std::uint32_t page : map.pages) {
    if (page >= file.page_count()) continue;
    const Blob bytes = file.Read(page);
    if (bytes[0] == type && Get32(bytes, file.format().data_owner_at) == owner) pages.Release(page);
  }
  for (std::uint32_t bitmap : map.bitmap_pages) {
    if (bitmap != 0) pages.Release(bitmap);
  }
}

// The long-value rows the table's rows refer to, by page.
std::map<std::uint32_t, std::set<std::uint32_t>> LongValueRowsOf(PageFile& file,
                                                                 const TableDefinition& table) {
  std::map<std::uint32_t, std::set<std::uint32_t>> rows;
  bool any = false;
  for (const Column& column : table.columns) any |= column.LongValue();
  if (!any) return rows;
  ScanRows(file, table, [&](RowId, Bytes bytes) {
    const std::vector<Cell> cells = SplitRow(file.format(), table, bytes);
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (!table.columns[i].LongValue() || !cells[i].present) continue;
      for (RowId part : LongValueRows(file, cells[i].bytes)) rows[part.page].insert(part.row);
    }
  });
  return rows;
}

// Deletes the given rows of a page; a page left without a live row is freed.
void DeleteRows(PageFile& file, PageAllocator& pages, std::uint32_t number,
                const std::set<std::uint32_t>& rows) {
  const Format& f = file.format();
  Blob page = file.Read(number);
  if (page[0] != page_type::kData) Damaged("a table's rows on a page that holds none");
  bool live = false;
  for (std::uint32_t row = 0; row < RowCount(f, page); ++row) {
    if (rows.count(row)) MarkRowDeleted(f, page, row);
    live |= (Get16(page, f.data_rows_at + 2 * row) & row_flag::kDeleted) == 0;
  }
  // The page of the free-page map itself is never given away.
  if (!live && number > 2) {
    pages.Release(number);
  } else {
    file.Write(number, page);
  }
}

}  // namespace

void ReleaseTable(PageFile& file, PageAllocator& pages, const TableDefinition& table) {
  const auto long_values = LongValueRowsOf(file, table);
  for (std::size_t i = 1; i < table.pages.size(); ++i) pages.Release(table.pages[i]);
  ReleaseListed(file, pages, table.owned_map, page_type::kData, table.page());
  ReleaseListed(file, pages, table.free_map, page_type::kData, table.page());
  std::map<std::uint32_t, std::set<std::uint32_t>> map_rows;
  map_rows[table.owned_map.page].insert(table.owned_map.row);
  map_rows[table.free_map.page].insert(table.free_map.row);
  for (const RealIndex& index : table.real_indexes) {
    ReleaseListed(file, pages, index.usage_map, page_type::kIndexLeaf, table.page());
    ReleaseListed(file, pages, index.usage_map, page_type::kIndexNode, table.page());
    map_rows[index.usage_map.page].insert(index.usage_map.row);
  }
  for (const ColumnMaps& maps : table.column_maps) {
    map_rows[maps.owned.page].insert(maps.owned.row);
    map_rows[maps.free.page].insert(maps.free.row);
  }
  for (const auto& [page, rows] : long_values) DeleteRows(file, pages, page, rows);
  for (const ColumnMaps& maps : table.column_maps) {
    if (maps.owned.page == 0) continue;
    for (std::uint32_t bitmap : ReadUsageMap(file, maps.owned).bitmap_pages) {
      if (bitmap != 0) pages.Release(bitmap);
    }
  }
  map_rows.erase(0);
  for (const auto& [page, rows] : map_rows) DeleteRows(file, pages, page, rows);
}

}  // namespace zc::jet
