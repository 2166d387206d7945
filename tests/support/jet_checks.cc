#include "support/jet_checks.h"

#include <algorithm>
#include <functional>
#include <map>

#include "jet/catalog.h"
#include "jet/index_page.h"
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
      problems.push_back("page " + std::to_string(page) + " claimed by " + at->second + " and " +
                         by);
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

// The entries under an index page, gathered in order, and its leaves.
struct IndexWalk {
  PageFile& file;
  std::uint32_t table;
  std::vector<std::string>& problems;
  std::vector<Blob> entries;
  std::vector<IndexPage> leaves;

  void Walk(std::uint32_t number, int depth) {
    const IndexPage page = ReadIndexPage(file, table, number);
    if (page.leaf || depth > 8) {
      entries.insert(entries.end(), page.entries.begin(), page.entries.end());
      leaves.push_back(page);
      return;
    }
    for (std::size_t i = 0; i < page.children.size(); ++i) {
      Walk(page.children[i], depth + 1);
      if (entries.back() != page.entries[i]) Problem(page, "misnames the last entry below it");
      const IndexPage right = ReadIndexPage(file, table, page.children[i]);
      const std::uint32_t left = i > 0 ? page.children[i - 1] : 0;
      if (!right.leaf &&
          (right.prev != left || ReadIndexPage(file, table, left).next != right.number))
        Problem(right, "is not linked to the page before it below the same parent");
    }
  }
  void Problem(const IndexPage& page, const std::string& what) {
    problems.push_back("index page " + std::to_string(page.number) + " " + what);
  }
};

// One entry for each row, in order over leaves linked from first to last.
void CheckIndexes(PageFile& file, std::uint32_t table_page, std::vector<std::string>& problems) {
  const TableDefinition table = ReadTableDefinition(file, table_page);
  for (const RealIndex& index : table.real_indexes) {
    IndexWalk walk{file, table_page, problems, {}, {}};
    walk.Walk(index.root, 0);
    if (walk.entries.size() != table.row_count ||
        std::adjacent_find(walk.entries.begin(), walk.entries.end(), std::greater_equal<>()) !=
            walk.entries.end())
      problems.push_back("an index of the table on page " + std::to_string(table_page) +
                         " whose entries are not one per row, in order");
    for (std::size_t i = 0; i < walk.leaves.size(); ++i) {
      const std::uint32_t prev = i > 0 ? walk.leaves[i - 1].number : 0;
      const std::uint32_t next = i + 1 < walk.leaves.size() ? walk.leaves[i + 1].number : 0;
      if (walk.leaves[i].prev != prev || walk.leaves[i].next != next)
        walk.Problem(walk.leaves[i], "linked out of order");
    }
  }
}

}  // namespace

std::vector<std::string> PageMapProblems(const std::string& path) {
  PageFile file(path, false);
  Claims claims(file);
  claims.Claim(0, "the header");
  claims.Claim(1, "the map of free pages");
  const TableDefinition catalog = ReadTableDefinition(file, kCatalogPage);
  claims.Table(kCatalogPage, "MSysObjects");
  for (const CatalogEntry& entry : ReadCatalog(file, catalog)) {
    if (entry.type != object_type::kTable) continue;
    if (entry.name == "MSysObjects" || entry.name == "MSysACEs")
      CheckIndexes(file, entry.DefinitionPage(), claims.problems);
    if (entry.DefinitionPage() != kCatalogPage) claims.Table(entry.DefinitionPage(), entry.name);
  }
  const UsageMap free_pages = ReadUsageMap(file, {1, 0});
  for (std::uint32_t bitmap : free_pages.bitmap_pages) {
    if (bitmap != 0) claims.Claim(bitmap, "bitmaps of the map of free pages");
  }
  for (std::uint32_t page : free_pages.pages) {
    if (page >= file.page_count()) continue;
    if (claims.owner.count(page))
      claims.problems.push_back("page " + std::to_string(page) + " is free and used");
    claims.owner.emplace(page, "free");
  }
  for (std::uint32_t page = 0; page < file.page_count(); ++page) {
    if (claims.owner.count(page)) continue;
    const Blob bytes = file.Read(page);
    const bool long_value = bytes[0] == page_type::kData && bytes[4] == 'L' && bytes[5] == 'V';
    if (!(long_value && !file.format().jet4))
      claims.problems.push_back("page " + std::to_string(page) + " is claimed by nothing");
  }
  return claims.problems;
}

}  // namespace zc::testing
