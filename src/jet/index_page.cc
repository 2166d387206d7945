#include "jet/index_page.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace zc::jet {
namespace {

constexpr std::size_t kChildSize = 4;
// Deeper than any index of a file Access can hold: a loop.
constexpr int kMaxDepth = 8;

struct Stored {
  bool leaf = true;
  std::uint32_t prev = 0, next = 0, tail = 0;
  std::vector<Blob> entries;
};

// The entries as stored: the first whole, each further one without the
// prefix it shares with the first. A set bit of the mask ends an entry.
Stored Parse(const Format& f, std::uint32_t table_page, const Blob& page) {
  // An index page names its table's definition, as a data page does.
  const bool leaf = page[0] == page_type::kIndexLeaf;
  if ((!leaf && page[0] != page_type::kIndexNode) || Get32(page, f.data_owner_at) != table_page) {
    Damaged("an index page");
  }
  Stored stored{leaf,
                Get32(page, f.index_prev_at),
                Get32(page, f.index_next_at),
                Get32(page, f.index_tail_at),
                {}};
  const std::size_t prefix_length = Get16(page, f.index_prefix_at);
  Blob prefix;
  std::size_t start = 0;
  for (std::size_t bit = 0; bit < f.index_mask_size * 8; ++bit) {
    if (!(page[f.index_mask_at + bit / 8] & (1 << (bit % 8)))) continue;
    const Bytes part = Slice(page, f.IndexEntriesAt() + start, bit - start);
    Blob entry(part.begin(), part.end());
    if (stored.entries.empty()) {
      prefix.assign(entry.begin(), entry.begin() + static_cast<std::ptrdiff_t>(
                                                       std::min(prefix_length, entry.size())));
    } else {
      entry.insert(entry.begin(), prefix.begin(), prefix.end());
    }
    stored.entries.push_back(std::move(entry));
    start = bit;
  }
  return stored;
}

Blob WithoutChild(const Blob& entry) {
  if (entry.size() <= kChildSize) Damaged("an index entry too short");
  return Blob(entry.begin(), entry.end() - kChildSize);
}

std::uint32_t ChildOf(const Blob& entry) {
  const std::size_t at = entry.size() - kChildSize;
  return (std::uint32_t{entry[at]} << 24) | (entry[at + 1] << 16) | (entry[at + 2] << 8) |
         entry[at + 3];
}

// The last entry under a page: its own last, or its tail's.
Blob LastEntryUnder(PageFile& file, std::uint32_t table_page, std::uint32_t number, int depth) {
  if (depth > kMaxDepth) Damaged("an index that runs in a circle");
  const Stored stored = Parse(file.format(), table_page, file.Read(number));
  if (!stored.leaf && stored.tail != 0)
    return LastEntryUnder(file, table_page, stored.tail, depth + 1);
  if (stored.entries.empty()) Damaged("an empty index page");
  return stored.leaf ? stored.entries.back() : WithoutChild(stored.entries.back());
}

std::vector<Blob> StoredEntries(const IndexPage& page) {
  if (page.leaf) return page.entries;
  std::vector<Blob> stored;
  const std::size_t count = page.children.size() - (page.children.size() > 1 ? 1 : 0);
  for (std::size_t i = 0; i < count; ++i) {
    Blob entry = page.entries.at(i);
    const std::uint32_t child = page.children.at(i);
    entry.insert(entry.end(),
                 {static_cast<std::uint8_t>(child >> 24), static_cast<std::uint8_t>(child >> 16),
                  static_cast<std::uint8_t>(child >> 8), static_cast<std::uint8_t>(child)});
    stored.push_back(std::move(entry));
  }
  return stored;
}

// Access stores the shared prefix once only where the entries need it.
std::size_t PrefixFor(const std::vector<Blob>& stored, std::size_t room) {
  std::size_t total = 0, shortest = SIZE_MAX;
  for (const Blob& entry : stored) {
    total += entry.size();
    shortest = std::min(shortest, entry.size());
  }
  if (total <= room || stored.size() < 2) return 0;
  const Blob &first = stored.front(), &last = stored.back();
  const auto length = static_cast<std::size_t>(
      std::mismatch(first.begin(), first.end(), last.begin(), last.end()).first - first.begin());
  // Every entry keeps at least its own last byte.
  return std::min(length, shortest - 1);
}

}  // namespace

IndexPage ReadIndexPage(PageFile& file, std::uint32_t table_page, std::uint32_t number) {
  Stored stored = Parse(file.format(), table_page, file.Read(number));
  IndexPage page{number, stored.leaf, stored.prev, stored.next, {}, {}};
  if (stored.leaf) {
    page.entries = std::move(stored.entries);
  } else {
    for (const Blob& entry : stored.entries) {
      page.entries.push_back(WithoutChild(entry));
      page.children.push_back(ChildOf(entry));
    }
    if (stored.tail != 0) {
      page.entries.push_back(LastEntryUnder(file, table_page, stored.tail, 1));
      page.children.push_back(stored.tail);
    }
    if (page.children.empty()) Damaged("an index page without pages below it");
  }
  // Inserting by the order would otherwise put an entry where no search finds it.
  if (std::adjacent_find(page.entries.begin(), page.entries.end(), std::greater_equal<>()) !=
      page.entries.end()) {
    Damaged("an index page whose entries are out of order");
  }
  return page;
}

Blob EncodeIndexPage(const Format& f, std::uint32_t table_page, const IndexPage& page) {
  const std::vector<Blob> stored = StoredEntries(page);
  const std::size_t room = std::min(f.page_size - f.IndexEntriesAt(), f.index_mask_size * 8 - 1);
  const std::size_t prefix = PrefixFor(stored, room);
  std::size_t total = prefix;
  for (const Blob& entry : stored) total += entry.size() - prefix;
  if (total > room) return {};
  Blob bytes(f.page_size, 0);
  bytes[0] = page.leaf ? page_type::kIndexLeaf : page_type::kIndexNode;
  bytes[1] = 0x01;
  Put32(bytes, f.data_owner_at, table_page);
  Put32(bytes, f.index_prev_at, page.prev);
  Put32(bytes, f.index_next_at, page.next);
  Put32(bytes, f.index_tail_at, page.children.size() > 1 ? page.children.back() : 0);
  Put16(bytes, f.index_prefix_at, static_cast<std::uint32_t>(prefix));
  std::size_t at = f.IndexEntriesAt();
  for (std::size_t i = 0; i < stored.size(); ++i) {
    PutBytes(bytes, at, Bytes(stored[i]).subspan(i == 0 ? 0 : prefix));
    at += stored[i].size() - (i == 0 ? 0 : prefix);
    const std::size_t end = at - f.IndexEntriesAt();
    bytes[f.index_mask_at + end / 8] |= static_cast<std::uint8_t>(1 << (end % 8));
  }
  Put16(bytes, f.data_free_at, static_cast<std::uint32_t>(f.page_size - at));
  return bytes;
}

std::optional<RowId> FindIndexEntry(PageFile& file, std::uint32_t table_page, std::uint32_t root,
                                    const Blob& key) {
  IndexPage page = ReadIndexPage(file, table_page, root);
  for (int depth = 0; !page.leaf; ++depth) {
    if (depth > kMaxDepth) Damaged("an index that runs in a circle");
    const auto below = std::lower_bound(page.entries.begin(), page.entries.end(), key);
    if (below == page.entries.end()) return std::nullopt;
    page = ReadIndexPage(file, table_page, page.children[below - page.entries.begin()]);
  }
  const auto found = std::lower_bound(page.entries.begin(), page.entries.end(), key);
  if (found == page.entries.end() || found->size() != key.size() + 4 ||
      !std::equal(key.begin(), key.end(), found->begin())) {
    return std::nullopt;
  }
  const std::uint8_t* row = found->data() + key.size();  // big-endian, as all of an entry
  return RowId{(std::uint32_t{row[0]} << 16) | (row[1] << 8) | row[2], row[3]};
}

}  // namespace zc::jet
