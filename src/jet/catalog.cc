#include "jet/catalog.h"

#include "jet/rows.h"
#include "jet/scan.h"
#include "jet/text.h"

namespace zc::jet {
namespace {

std::int32_t Number(const Cell& cell) {
  if (!cell.present) return 0;
  if (cell.bytes.size() == 2) return static_cast<std::int16_t>(Get16(cell.bytes, 0));
  return static_cast<std::int32_t>(Get32(cell.bytes, 0));
}

}  // namespace

std::size_t Position(const TableDefinition& table, const char* name,
                     std::optional<std::uint8_t> type) {
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    if (table.columns[i].name != name) continue;
    if (type && table.columns[i].type != *type) {
      Damaged("a system table's column " + std::string(name));
    }
    return i;
  }
  Damaged("a system table without its column " + std::string(name));
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::vector<CatalogEntry> ReadCatalog(PageFile& file, const TableDefinition& catalog) {
  const std::size_t id = Position(catalog, "Id"), parent = Position(catalog, "ParentId"),
                    name = Position(catalog, "Name"), type = Position(catalog, "Type"),
                    flags = Position(catalog, "Flags");
  std::vector<CatalogEntry> entries;
  std::uint32_t rows = 0;
  ScanRows(file, catalog, [&](RowId where, Bytes bytes) {
    ++rows;
    const std::vector<Cell> cells = SplitRow(file.format(), catalog, bytes);
    if (!cells[name].present) return;
    entries.push_back({DecodeText(cells[name].bytes, file.format().jet4), Number(cells[id]),
                       Number(cells[parent]), Number(cells[type]), Number(cells[flags]), where});
  });
  // A catalog cut short would silently leave tables out.
  if (rows != catalog.row_count) Damaged("its list of tables");
  return entries;
}

}  // namespace zc::jet
