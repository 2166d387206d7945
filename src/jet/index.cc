#include "jet/index.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace zc::jet {
namespace {

constexpr std::uint8_t kAscendingStart = 0x7F;
constexpr std::uint8_t kDescendingStart = 0x80;

// General sort order codes of the characters this program sorts, as Access
// writes them (read off Access-made catalogs). Jet 4 ends a text with 01 00.
struct SortCode {
  char from;
  std::string_view code;
};
constexpr std::string_view kJet4Letters[] = {"\x4a", "\x4c", "\x4d", "\x4f", "\x51", "\x53", "\x55",
                                             "\x57", "\x59", "\x5b", "\x5c", "\x5e", "\x60", "\x62",
                                             "\x64", "\x66", "\x68", "\x69", "\x6b", "\x6d", "\x6f",
                                             "\x71", "\x73", "\x75", "\x76", ""};
constexpr SortCode kJet4Others[] = {
    {' ', "\x07"}, {',', "\x1a"}, {'/', "\x1e"}, {'_', "\x2b\x03"}, {'~', "\x2b\x0f"}};

// Jet 3 (Access 97) codes: one byte each, ended by a single 00.
constexpr std::string_view kJet3Letters =
    "\x60\x61\x62\x64\x66\x67\x68\x69\x6a\x6b\x6c\x6d\x6f\x70\x72\x73\x74\x75\x76\x77\x78\x7a"
    "\x7b\x7c\x7d\x7e";

std::string_view CodeOf(char c, bool jet4) {
  const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  if (lower >= 'a' && lower <= 'z') {
    const auto at = static_cast<std::size_t>(lower - 'a');
    return jet4 ? kJet4Letters[at] : kJet3Letters.substr(at, 1);
  }
  if (!jet4 && c >= '0' && c <= '9')
    return std::string_view("\x56\x57\x58\x59\x5a\x5b\x5c\x5d\x5e\x5f")
        .substr(static_cast<std::size_t>(c - '0'), 1);
  if (!jet4 && c == ' ') return " ";
  if (!jet4 && c == '_') return "\x39";
  if (jet4) {
    for (const SortCode& code : kJet4Others) {
      if (code.from == c) return code.code;
    }
  }
  return {};
}

void Invert(Blob& bytes, std::size_t from) {
  for (std::size_t i = from; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(~bytes[i]);
}

struct Leaf {
  Blob page;
  std::vector<Blob> entries;
};

Leaf ReadLeaf(PageFile& file, std::uint32_t root, std::uint32_t table_page) {
  const Format& f = file.format();
  Leaf leaf{file.Read(root), {}};
  // An index page names its table's definition, as a data page does.
  const bool ours = Get32(leaf.page, f.data_owner_at) == table_page;
  if (ours && leaf.page[0] == page_type::kIndexNode) {
    Unsupported("the catalog's index has grown beyond one page; compact the database in Access");
  }
  if (!ours || leaf.page[0] != page_type::kIndexLeaf) Damaged("an index page");
  const std::size_t prefix_length = Get16(leaf.page, f.index_prefix_at);
  Blob prefix;
  std::size_t start = 0;
  for (std::size_t bit = 0; bit < f.index_mask_size * 8; ++bit) {
    if (!(leaf.page[f.index_mask_at + bit / 8] & (1 << (bit % 8)))) continue;
    CheckRange(leaf.page, f.IndexEntriesAt() + start, bit - start);
    Blob entry(leaf.page.begin() + static_cast<std::ptrdiff_t>(f.IndexEntriesAt() + start),
               leaf.page.begin() + static_cast<std::ptrdiff_t>(f.IndexEntriesAt() + bit));
    if (leaf.entries.empty()) {
      prefix.assign(entry.begin(), entry.begin() + static_cast<std::ptrdiff_t>(
                                                       std::min(prefix_length, entry.size())));
    } else {
      entry.insert(entry.begin(), prefix.begin(), prefix.end());
    }
    leaf.entries.push_back(std::move(entry));
    start = bit;
  }
  return leaf;
}

void WriteLeaf(PageFile& file, std::uint32_t root, Leaf& leaf) {
  const Format& f = file.format();
  std::size_t prefix = leaf.entries.front().size();
  for (const Blob& entry : leaf.entries) {
    const auto [a, b] = std::mismatch(
        leaf.entries.front().begin(),
        leaf.entries.front().begin() + static_cast<std::ptrdiff_t>(std::min(prefix, entry.size())),
        entry.begin());
    prefix = static_cast<std::size_t>(a - leaf.entries.front().begin());
  }
  // Every entry keeps at least its own last byte.
  for (const Blob& entry : leaf.entries) prefix = std::min(prefix, entry.size() - 1);
  std::size_t total = prefix;
  for (const Blob& entry : leaf.entries) total += entry.size() - prefix;
  if (total > f.page_size - f.IndexEntriesAt() || total >= f.index_mask_size * 8) {
    Unsupported("the catalog's index page is full; compact the database in Access");
  }
  Blob& page = leaf.page;
  std::fill(page.begin() + static_cast<std::ptrdiff_t>(f.index_mask_at), page.end(), 0);
  Put16(page, f.index_prefix_at, static_cast<std::uint32_t>(prefix));
  std::size_t at = f.IndexEntriesAt(), end = 0;
  for (std::size_t i = 0; i < leaf.entries.size(); ++i) {
    const Blob& entry = leaf.entries[i];
    const std::size_t skip = i == 0 ? 0 : prefix;
    PutBytes(page, at, Bytes(entry).subspan(skip));
    at += entry.size() - skip;
    end = at - f.IndexEntriesAt();
    page[f.index_mask_at + end / 8] |= static_cast<std::uint8_t>(1 << (end % 8));
  }
  Put16(page, 2, static_cast<std::uint32_t>(f.page_size - at));
  file.Write(root, page);
}

}  // namespace

Blob IndexKeyLong(std::int32_t value, bool ascending) {
  const auto bits = static_cast<std::uint32_t>(value) ^ 0x80000000u;
  Blob key{ascending ? kAscendingStart : kDescendingStart, static_cast<std::uint8_t>(bits >> 24),
           static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 8),
           static_cast<std::uint8_t>(bits)};
  if (!ascending) Invert(key, 1);
  return key;
}

Blob IndexKeyText(const std::string& text, bool jet4, bool ascending) {
  Blob key{ascending ? kAscendingStart : kDescendingStart};
  for (char c : text) {
    const std::string_view code = CodeOf(c, jet4);
    if (code.empty()) {
      Unsupported("the name \"" + text + "\" holds a character (\"" + std::string(1, c) +
                  "\") this program cannot enter into an Access catalog");
    }
    key.insert(key.end(), code.begin(), code.end());
  }
  key.push_back(jet4 ? 0x01 : 0x00);
  if (jet4) key.push_back(0x00);
  if (!ascending) Invert(key, 1);
  return key;
}

bool InsertIndexEntry(PageFile& file, std::uint32_t table_page, std::uint32_t root, const Blob& key,
                      RowId row, bool unique) {
  Leaf leaf = ReadLeaf(file, root, table_page);
  Blob entry = key;
  entry.insert(entry.end(),
               {static_cast<std::uint8_t>(row.page >> 16), static_cast<std::uint8_t>(row.page >> 8),
                static_cast<std::uint8_t>(row.page), static_cast<std::uint8_t>(row.row)});
  const auto same_key = [&](const Blob& other) {
    return other.size() == entry.size() && std::equal(key.begin(), key.end(), other.begin());
  };
  const bool repeated = std::any_of(leaf.entries.begin(), leaf.entries.end(), same_key);
  if (repeated && unique) Unsupported("the catalog already holds an entry of that name");
  leaf.entries.insert(std::upper_bound(leaf.entries.begin(), leaf.entries.end(), entry), entry);
  WriteLeaf(file, root, leaf);
  return !repeated;
}

}  // namespace zc::jet
