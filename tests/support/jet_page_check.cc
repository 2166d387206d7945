#include "support/jet_page_check.h"

#include <map>

#include "jet/catalog.h"
#include "jet/page_file.h"
#include "jet/table_def.h"
#include "jet/usage_map.h"

namespace zc::testing {
namespace {

using namespace zc::jet;

class Claims {
 public:
  explicit Claims(PageFile& file) : file_(file) {}
  void Claim(std::uint32_t page, const std::string& by) {
    if (page >= file_.page_count()) {
      problems.push_back(by + " claims page " + std::to_string(page) + " beyond the end");
    } else if (auto [at, added] = owner.emplace(page, by); !added && at->second != by) {
      problems.push_back("page " + std::to_string(page) + " claimed by " + at->second + " and " + by);
    }
  }
  // The map's row page, its bitmap pages, and what it lists.
  std::vector<std::uint32_t> Map(RowId where, const std::string& by) {
    if (where.page == 0) return {};
    Claim(where.page, "usage maps");
    const UsageMap map = ReadUsageMap(file_, where);
    for (std::uint32_t bitmap : map.bitmap_pages) {
      if (bitmap != 0) Claim(bitmap, "bitmaps of " + by);
    }
    return map.pages;
  }
  void Table(std::uint32_t first, const std::string& name) {
    const TableDefinition t = ReadTableDefinition(file_, first);
    for (std::uint32_t page : t.pages) Claim(page, "definition of " + name);
    for (std::uint32_t page : Map(t.owned_map, name)) Claim(page, "rows of " + name);
    Map(t.free_map, name);
    for (const RealIndex& index : t.real_indexes) {
      for (std::uint32_t page : Map(index.usage_map, name)) Claim(page, "index of " + name);
      Claim(index.root, "index of " + name);
    }
    for (const ColumnMaps& maps : t.column_maps) {
      for (std::uint32_t page : Map(maps.owned, name)) Claim(page, "long values of " + name);
      Map(maps.free, name);
    }
  }
  PageFile& file_;
  std::map<std::uint32_t, std::string> owner;
  std::vector<std::string> problems;
};

}  // namespace

std::vector<std::string> PageMapProblems(const std::string& path) {
  PageFile file(path, false);
  Claims claims(file);
  claims.Claim(0, "the header");
  claims.Claim(1, "the map of free pages");
  const TableDefinition catalog = ReadTableDefinition(file, kCatalogPage);
  claims.Table(kCatalogPage, "MSysObjects");
  for (const CatalogEntry& entry : ReadCatalog(file, catalog)) {
    if (entry.type == object_type::kTable && entry.DefinitionPage() != kCatalogPage) {
      claims.Table(entry.DefinitionPage(), entry.name);
    }
  }
  for (std::uint32_t page : ReadUsageMap(file, {1, 0}).pages) {
    if (page >= file.page_count()) continue;
    if (claims.owner.count(page)) claims.problems.push_back("page " + std::to_string(page) + " is free and used");
    claims.owner.emplace(page, "free");
  }
  for (std::uint32_t page = 0; page < file.page_count(); ++page) {
    if (claims.owner.count(page)) continue;
    const Blob bytes = file.Read(page);
    const bool long_value = bytes[0] == page_type::kData && bytes[4] == 'L' && bytes[5] == 'V';
    if (!(long_value && !file.format().jet4)) claims.problems.push_back("page " + std::to_string(page) + " is claimed by nothing");
  }
  return claims.problems;
}

}  // namespace zc::testing
