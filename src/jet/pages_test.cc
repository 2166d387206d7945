// The format's logic on pages built in memory, against the bytes Access
// writes: page maps, the map of free pages, index keys and index pages, and
// the catalog entries of a table added and renewed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <numeric>
#include <random>

#include "jet/catalog_writer.h"
#include "jet/data_page.h"
#include "jet/index.h"
#include "jet/index_page.h"
#include "jet/long_value.h"
#include "jet/rows.h"
#include "jet/table_release.h"
#include "support/db_builder.h"
#include "support/temp_project.h"

namespace zc::jet {
namespace {

using Pages = std::vector<std::uint32_t>;
using Bytes3 =
    std::vector<std::tuple<int, std::size_t, std::uint8_t>>;  // slot (-1: row), at, value
constexpr std::uint32_t kRef = 0xFFFFFFFF;                    // a reference map: no first page

// `count` zeroed pages behind the header of an Access 2000 (else 97) file.
std::string BlankFile(const testing::TempDir& dir, bool jet4, std::uint32_t count) {
  std::string bytes(std::size_t{jet4 ? 4096u : 2048u} * count, '\0');
  bytes.replace(4, 15, "Standard Jet DB");
  bytes[0x14] = jet4 ? 1 : 0;
  testing::WriteFile(dir.path() + "/blank.mdb", bytes);
  return dir.path() + "/blank.mdb";
}

// `row` as the only row of data page `number`, as maps are kept.
RowId PutRow(PageFile& file, std::uint32_t number, const Blob& row) {
  Blob page = NewDataPage(file.format(), 0);
  const std::uint32_t at = AddRow(file.format(), page, row);
  file.Write(number, page);
  return {number, at};
}

// Bytes of a map's row, or of the bitmap page its slot names.
void ExpectMapBytes(PageFile& file, const Blob& row, const Bytes3& expected) {
  for (const auto& [slot, at, value] : expected) {
    EXPECT_EQ((slot < 0 ? row : file.Read(Get32(row, 1 + 4 * slot))).at(at), value) << at;
  }
}

TEST(UsageMapTest, InlineWithinItsWindowElseBitmapPagesWhoseSlotsMayHoldAnything) {
  const struct {
    bool jet4;
    Pages pages, read;  // read back: stretches beyond the file's end are none
    std::uint32_t first;
    Bytes3 bytes;
  } cases[] = {
      {true, {9, 5, 6}, {5, 6, 9}, 0, {{-1, 5, 0x60}, {-1, 6, 0x02}}},
      {true, {600, 700}, {600, 700}, 600, {{-1, 5, 0x01}, {-1, 5 + 12, 0x10}}},
      {true, {3, 600}, {3, 600}, kRef, {{0, 0, 0x05}, {0, 1, 0x01}, {0, 4, 0x08}, {0, 4 + 75, 1}}},
      {false, {3, 1100}, {3, 1100}, kRef, {{0, 4, 0x08}, {0, 4 + 137, 0x10}}},
      {true, {3, 40000}, {3}, kRef, {{0, 4, 0x08}, {1, 4 + 908, 0x01}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pages.back());
    testing::TempDir dir;
    PageFile file(BlankFile(dir, c.jet4, 8), true);
    std::uint32_t next = 8;
    const Blob row = EncodeUsageMap(file, c.pages, [&] { return next++; });
    ASSERT_EQ(row.size(), c.jet4 ? 69u : 133u);
    EXPECT_EQ(row[0], c.first == kRef ? map_type::kReference : map_type::kInline);
    if (c.first != kRef) {
      EXPECT_EQ(Get32(row, 1), c.first);
    }
    ExpectMapBytes(file, row, c.bytes);
    EXPECT_EQ(ReadUsageMap(file, PutRow(file, next, row)).pages, c.read);
  }
  // Within the file a slot names a bitmap page, or none: 0 or a number beyond
  // three bytes (Access reads them signed). Beyond it, anything is none.
  for (const auto& [first, second, damaged] :
       {std::tuple{0xFFFFFF80u, 12345u, false}, std::tuple{2u, 0u, true},
        std::tuple{100u, 0u, true}}) {
    testing::TempDir dir;
    PageFile file(BlankFile(dir, true, 10), true);
    Blob row(69, 0);
    row[0] = map_type::kReference;
    Put32(row, 1, first);
    Put32(row, 5, second);
    const RowId where = PutRow(file, 9, row);
    if (damaged) {
      EXPECT_THROW(ReadUsageMap(file, where), Error) << first;
    } else {
      EXPECT_TRUE(ReadUsageMap(file, where).pages.empty());
    }
  }
}

// The map of free pages: a set bit is a free page, and so is every page
// beyond the end; free pages at the end are cut off; past the inline window
// of 512 pages the map moves on to a bitmap page, on the lowest free page.
TEST(PageAllocatorTest, HandsOutTheLowestFreePageAndSavesTheMap) {
  const struct {
    const char* name;
    std::uint32_t count;
    Pages free, released, handed_out;
    std::uint32_t kept;
    Bytes3 bytes;
  } cases[] = {
      {"reuse", 10, {4, 7}, {5}, {4, 7, 10, 11}, 12, {{-1, 0, 0}, {-1, 5, 0x20}, {-1, 6, 0xF0}}},
      {"cut", 10, {5, 8, 9}, {}, {}, 8, {{-1, 5, 0x20}, {-1, 6, 0xFF}}},
      {"grown", 510, {}, {}, {510, 511, 512}, 514, {{-1, 0, 1}, {0, 4 + 63, 0}, {0, 4 + 64, 0xFC}}},
      {"junk slots", 700, {3, 600}, {}, {3}, 699, {{-1, 5, 0}, {0, 4 + 75, 0}, {0, 4 + 87, 0xF8}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir dir;
    PageFile file(BlankFile(dir, true, c.count), true);
    Blob row = EncodeUsageMap(file, c.free, [&] { return c.count - 1; });
    for (std::size_t at = 5; row[0] == map_type::kReference && at < row.size(); at += 4)
      Put32(row, at, 0xFFFFFF80);  // as Access may leave them
    PutRow(file, 1, row);
    PageAllocator pages(file, {});
    Pages handed_out(c.handed_out.size());
    for (std::uint32_t& page : handed_out) page = pages.Allocate();
    EXPECT_EQ(handed_out, c.handed_out);
    for (std::uint32_t page : c.released) pages.Release(page);
    EXPECT_EQ(pages.Save(), c.kept);
    const Blob saved = file.Read(1);
    const RowSpan span = RowAt(file.format(), saved, 0);
    ExpectMapBytes(file, Blob(saved.begin() + span.start, saved.begin() + span.end), c.bytes);
  }
}

std::string Hex(Bytes bytes) {
  std::string hex;
  for (std::uint8_t byte : bytes)
    hex += "0123456789abcdef"[byte >> 4], hex += "0123456789abcdef"[byte & 15];
  return hex;
}

// Keys as Access-made catalogs hold them (General sort order).
TEST(IndexKeyTest, AsAccessMadeCatalogsHoldThem) {
  EXPECT_EQ(Hex(IndexKeyText("MSysObjects", true, true)), "7f606b766b644c5b514d6d6b0100");
  EXPECT_EQ(Hex(IndexKeyText("Muffin/Bread", true, true)), "7f606f535359621e4c69514a4f0100");
  EXPECT_EQ(Hex(IndexKeyText("Veggie Salad", true, true)), "7f715155555951076b4a5e4a4f0100");
  EXPECT_EQ(Hex(IndexKeyText("Namen_0150", true, true)), "7f624a6051622b03363840360100");
  EXPECT_EQ(Hex(IndexKeyText("MSysObjects", false, true)), "7f6f767d7672616b6662777600");
  EXPECT_EQ(Hex(IndexKeyText("Table1", false, true)), "7f7760616d665700");
  EXPECT_EQ(Hex(IndexKeyLong(0x0F000001, true)), "7f8f000001");
  EXPECT_EQ(Hex(IndexKeyLong(1, false)), "807ffffffe");
  EXPECT_THROW(IndexKeyText("Gr\u00f6\u00dfe", true, true), Error);
}

// Entries added in order, backwards or shuffled: a full page gives its first
// half to a new page before it, a full root moves down a level and keeps its
// page. Every entry is found from the root, the leaves are linked in order,
// a node names its last page as its tail, and the map lists every page.
TEST(IndexInsertTest, SplitsFullPagesAsAccessDoes) {
  const struct {
    bool jet4;
    int count, order;  // 1: ascending, -1: descending, 0: shuffled
    int levels;
  } cases[] = {{true, 40, 1, 1}, {true, 400, 0, 2}, {false, 300, -1, 3}, {false, 2000, 1, 4}};
  constexpr std::uint32_t kTable = 2;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    testing::TempDir dir;
    PageFile file(BlankFile(dir, c.jet4, 5), true);
    file.Write(3, EncodeIndexPage(file.format(), kTable, IndexPage{3, true, 0, 0, {}, {}}));
    RealIndex index;
    index.root = 3;
    index.usage_map = PutRow(file, 4, EncodeUsageMap(file, {3}, [] { return 0u; }));
    PutRow(file, 1, EncodeUsageMap(file, {}, [] { return 0u; }));
    PageAllocator pages(file, {});
    std::vector<int> numbers(static_cast<std::size_t>(c.count));
    std::iota(numbers.begin(), numbers.end(), 0);
    if (c.order < 0) std::reverse(numbers.begin(), numbers.end());
    if (c.order == 0) std::shuffle(numbers.begin(), numbers.end(), std::mt19937(7));
    const auto key = [&](int n) {
      return IndexKeyText(std::to_string(10000 + n) + std::string(c.jet4 ? 60 : 100, 'x'), c.jet4,
                          true);
    };
    const auto row = [](int n) {
      return RowId{100 + std::uint32_t(n) / 200, std::uint32_t(n) % 200};
    };
    for (int n : numbers)
      EXPECT_TRUE(InsertIndexEntry(file, pages, kTable, index, key(n), row(n), true));
    EXPECT_THROW(InsertIndexEntry(file, pages, kTable, index, key(7), {999, 0}, true), Error);
    EXPECT_FALSE(InsertIndexEntry(file, pages, kTable, index, key(7), {999, 0}, false));
    for (int n : numbers) EXPECT_EQ(FindIndexEntry(file, kTable, 3, key(n)), row(n)) << n;
    const IndexPage root = ReadIndexPage(file, kTable, 3);
    EXPECT_EQ(Get32(file.Read(3), file.format().index_tail_at),
              root.leaf ? 0 : root.children.back());
    // Nodes are linked to the pages beside them below the same parent.
    const std::function<void(const IndexPage&)> check_links = [&](const IndexPage& node) {
      for (std::size_t i = 0; !node.leaf && i < node.children.size(); ++i) {
        const IndexPage child = ReadIndexPage(file, kTable, node.children[i]);
        if (child.leaf) return;
        EXPECT_EQ(child.prev, i > 0 ? node.children[i - 1] : 0);
        EXPECT_EQ(child.next, i + 1 < node.children.size() ? node.children[i + 1] : 0);
        check_links(child);
      }
    };
    check_links(root);
    int levels = 1;
    IndexPage page = root;
    for (; !page.leaf; ++levels) page = ReadIndexPage(file, kTable, page.children.front());
    EXPECT_EQ(levels, c.levels);
    std::vector<Blob> entries = page.entries;
    for (std::uint32_t before = page.number; page.next != 0; before = page.number) {
      page = ReadIndexPage(file, kTable, page.next);
      EXPECT_EQ(page.prev, before);
      entries.insert(entries.end(), page.entries.begin(), page.entries.end());
    }
    EXPECT_EQ(entries.size(), std::size_t(c.count) + 1);
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end()));
    Pages all(file.page_count() - 4);
    std::iota(all.begin(), all.end(), 4);
    all.front() = 3;
    EXPECT_EQ(ReadUsageMap(file, index.usage_map).pages, all);
  }
}

// The stored properties of a catalog entry: a memo's reference, or nothing.
Blob Properties(PageFile& file, const CatalogEntry& entry) {
  const TableDefinition catalog = ReadTableDefinition(file, kCatalogPage);
  const Blob page = file.Read(entry.row.page);
  const RowSpan span = RowAt(file.format(), page, entry.row.row);
  const Cell cell = SplitRow(
      file.format(), catalog,
      Bytes(page).subspan(
          span.start,
          span.size()))[static_cast<std::size_t>(catalog.Find("LvProp") - catalog.columns.data())];
  return cell.present ? Blob(cell.bytes.begin(), cell.bytes.end()) : Blob();
}

// A new table's catalog entry, with the access rights of a sibling table,
// found through the indexes of MSysObjects and MSysACEs; renewing an entry
// releases its stored properties, dropping a table its pages.
TEST(CatalogEntriesTest, AddedWithRightsAndIndexesRenewedWithoutProperties) {
  for (const char* sample : {"jet3_sample.mdb", "jet4_fruit.mdb", "catalog_200_tables.mdb"}) {
    SCOPED_TRACE(sample);
    testing::TempDir dir;
    const std::string path = dir.path() + "/work.mdb";
    std::filesystem::copy_file(testing::Fixture(sample), path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    PageFile file(path, true);
    const std::vector<CatalogEntry> before =
        ReadCatalog(file, ReadTableDefinition(file, kCatalogPage));
    const CatalogEntry& renewed =
        *std::find_if(before.begin(), before.end(),
                      [](const CatalogEntry& entry) { return entry.IsUserTable(); });
    PageAllocator pages(file, PagesInUse(file, before, &renewed));
    const std::uint32_t page = pages.Allocate();
    const std::vector<SystemRow> rows = NewCatalogRows(file, "PRESET_DEFS", page);
    AddSystemRows(file, pages, rows);
    const CatalogEntry added = ReadCatalog(file, ReadTableDefinition(file, kCatalogPage)).back();
    EXPECT_EQ(added.name + "|" + std::to_string(added.type) + "|" + std::to_string(added.id),
              "PRESET_DEFS|1|" + std::to_string(page));
    EXPECT_TRUE(CatalogIndexFinds(file, "preset_defs"));
    ASSERT_GT(rows.size(), 1u);  // the sibling's access rights, found by the new table's page
    const RealIndex& rights = rows.back().table.real_indexes.at(0);
    EXPECT_TRUE(FindIndexEntry(file, rows.back().table.page(), rights.root,
                               IndexKeyLong(static_cast<std::int32_t>(page), true))
                    .has_value());
    EXPECT_THROW(NewCatalogRows(file, "Preset_Defs", page + 1), Error);
    const std::vector<RowId> parts = LongValueRows(file, Properties(file, renewed));
    RenewCatalogEntry(file, renewed);
    EXPECT_TRUE(Properties(file, renewed).empty());
    for (RowId part : parts)
      EXPECT_TRUE(RowAt(file.format(), file.Read(part.page), part.row).deleted);
    const TableDefinition dropped = ReadTableDefinition(file, renewed.DefinitionPage());
    const Pages owned = ReadUsageMap(file, dropped.owned_map).pages;
    ReleaseTable(file, pages, dropped);
    for (std::uint32_t page : owned)
      EXPECT_EQ(file.Read(page)[0], 0) << page;  // a data page no more
  }
}

}  // namespace
}  // namespace zc::jet
