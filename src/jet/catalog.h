// The catalog: the system table MSysObjects, which lists every object of the
// file with the page of its definition.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jet/page_file.h"
#include "jet/table_definition.h"

namespace zc::jet {

constexpr std::uint32_t kCatalogPage = 2;

namespace object_type {
constexpr std::int32_t kTable = 1;
}

struct CatalogEntry {
  std::string name;
  std::int32_t id = 0;  // for a table: the page of its definition
  std::int32_t parent_id = 0;
  std::int32_t type = 0;
  std::int32_t flags = 0;
  RowId row;  // where the entry is stored

  std::uint32_t DefinitionPage() const { return static_cast<std::uint32_t>(id) & 0x00FFFFFF; }
  // A local table that is not one of the system's own.
  bool IsUserTable() const {
    return type == object_type::kTable && (static_cast<std::uint32_t>(flags) & 0x80000002) == 0;
  }
};

// The place of a system table's column, which must have `type` when one is
// given. Throws Damaged when the table has no such column.
std::size_t Position(const TableDefinition& table, const char* name,
                     std::optional<std::uint8_t> type = std::nullopt);

// Access takes two object names that differ only in ASCII letter case for one.
bool SameName(const std::string& a, const std::string& b);

// Throws Damaged when the catalog cannot be read.
std::vector<CatalogEntry> ReadCatalog(PageFile& file, const TableDefinition& catalog);

}  // namespace zc::jet
