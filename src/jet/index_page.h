// One page of an index as Access keeps it. A leaf lists entries: the key,
// then the row's address. A node lists one entry per page below it: the last
// entry found under that page, then its number (big-endian, like every part
// of an entry). Once a node has more than one page below it, the last of
// them (its "tail") is named in the page's header instead of by an entry.
// The pages of a level are linked to their neighbours: the leaves all of
// them, the nodes those below the same parent.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "jet/bytes.h"
#include "jet/page_file.h"

namespace zc::jet {

struct IndexPage {
  std::uint32_t number = 0;
  bool leaf = true;
  std::uint32_t prev = 0, next = 0;
  // Whole entries, in order; a node's without the page below, its tail's too.
  std::vector<Blob> entries;
  std::vector<std::uint32_t> children;  // nodes: the page below each entry
};

// Throws Damaged unless `number` is an index page of the table defined at
// `table_page` whose entries are in order.
IndexPage ReadIndexPage(PageFile& file, std::uint32_t table_page, std::uint32_t number);

// The page's bytes; empty when its entries do not fit a page even with
// their shared prefix stored once.
Blob EncodeIndexPage(const Format& format, std::uint32_t table_page, const IndexPage& page);

// The row of the first entry with `key`, found down the index from `root`
// as Access finds it; none when no entry has that key.
std::optional<RowId> FindIndexEntry(PageFile& file, std::uint32_t table_page, std::uint32_t root,
                                    const Blob& key);

}  // namespace zc::jet
