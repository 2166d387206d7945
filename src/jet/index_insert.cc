// Adding an entry to an index of one page or of several levels.
#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include "jet/index.h"
#include "jet/index_page.h"
#include "jet/usage_map.h"

namespace zc::jet {
namespace {

constexpr std::size_t kMaxDepth = 8;

// The pages an insertion reads and changes, written together at the end.
class IndexTree {
 public:
  IndexTree(PageFile& file, PageAllocator& pages, std::uint32_t table_page)
      : file_(file), pages_(pages), table_page_(table_page) {}

  IndexPage& Load(std::uint32_t number) {
    auto found = loaded_.find(number);
    if (found == loaded_.end())
      found = loaded_.emplace(number, ReadIndexPage(file_, table_page_, number)).first;
    return found->second;
  }

  // The pages from the root down to the leaf that takes `entry`.
  std::vector<std::uint32_t> PathTo(std::uint32_t root, const Blob& entry) {
    std::vector<std::uint32_t> path{root};
    while (!Load(path.back()).leaf) {
      if (path.size() > kMaxDepth) Damaged("an index that runs in a circle");
      const IndexPage& node = Load(path.back());
      auto below = std::lower_bound(node.entries.begin(), node.entries.end(), entry);
      if (below == node.entries.end()) --below;
      path.push_back(node.children[static_cast<std::size_t>(below - node.entries.begin())]);
    }
    return path;
  }

  // Whether an entry beside `at` of the leaf, on it or on its neighbours,
  // has the key of `entry` (entries of one key lie together, by row).
  bool KeyTaken(const IndexPage& leaf, std::size_t at, const Blob& entry) {
    const auto same_key = [&](const Blob* other) {
      return other && other->size() == entry.size() &&
             std::equal(entry.begin(), entry.end() - 4, other->begin());
    };
    const Blob* before = at > 0 ? &leaf.entries[at - 1] : LastOf(leaf.prev);
    const Blob* after = at < leaf.entries.size() ? &leaf.entries[at] : FirstOf(leaf.next);
    return same_key(before) || same_key(after);
  }

  // Puts the pages from `path[level]` up to the root right: the entries
  // above name each page's last entry, and a page that holds too many is
  // split.
  void Settle(std::vector<std::uint32_t>& path, std::size_t level) {
    for (;; --level) {
      changed_.insert(path[level]);
      if (level > 0) NameInParent(path[level - 1], path[level]);
      if (EncodeIndexPage(file_.format(), table_page_, Load(path[level])).empty()) {
        if (level == 0) level = MoveRootDown(path);
        SplitOff(path[level - 1], path[level]);
      }
      if (level == 0) return;
    }
  }

  // Writes what changed; returns the pages added.
  std::vector<std::uint32_t> Write() {
    for (std::uint32_t number : changed_) {
      const Blob bytes = EncodeIndexPage(file_.format(), table_page_, Load(number));
      if (bytes.empty()) throw std::logic_error("an index page left overfull");
      file_.Write(number, bytes);
    }
    return added_;
  }

 private:
  const Blob* LastOf(std::uint32_t number) {
    if (number == 0) return nullptr;
    const IndexPage& page = Load(number);
    return page.entries.empty() ? nullptr : &page.entries.back();
  }
  const Blob* FirstOf(std::uint32_t number) {
    if (number == 0) return nullptr;
    const IndexPage& page = Load(number);
    return page.entries.empty() ? nullptr : &page.entries.front();
  }

  std::size_t PlaceIn(const IndexPage& parent, std::uint32_t child) {
    const auto at = std::find(parent.children.begin(), parent.children.end(), child);
    if (at == parent.children.end()) Damaged("an index page its parent does not list");
    return static_cast<std::size_t>(at - parent.children.begin());
  }

  void NameInParent(std::uint32_t parent_number, std::uint32_t child_number) {
    IndexPage& parent = Load(parent_number);
    const IndexPage& child = Load(child_number);
    if (child.entries.empty()) Damaged("an empty index page below an index node");
    parent.entries[PlaceIn(parent, child_number)] = child.entries.back();
    changed_.insert(parent_number);
  }

  std::uint32_t NewPage(IndexPage page) {
    page.number = pages_.Allocate();
    added_.push_back(page.number);
    changed_.insert(page.number);
    return loaded_.emplace(page.number, std::move(page)).first->second.number;
  }

  // The root keeps its page (the table definition names it): its entries go
  // to a new page below it. Returns the level of that page.
  std::size_t MoveRootDown(std::vector<std::uint32_t>& path) {
    IndexPage& root = Load(path[0]);
    const std::uint32_t below = NewPage(root);
    root.leaf = false;
    root.entries = {Load(below).entries.back()};
    root.children = {below};
    path.insert(path.begin() + 1, below);
    return 1;
  }

  void SplitOff(std::uint32_t parent_number, std::uint32_t number) {
    IndexPage& page = Load(number);
    const auto half = static_cast<std::ptrdiff_t>((page.entries.size() + 1) / 2);
    IndexPage left{0, page.leaf, page.prev, number, {}, {}};
    left.entries.assign(page.entries.begin(), page.entries.begin() + half);
    page.entries.erase(page.entries.begin(), page.entries.begin() + half);
    if (!page.leaf) {
      left.children.assign(page.children.begin(), page.children.begin() + half);
      page.children.erase(page.children.begin(), page.children.begin() + half);
      Unlink(left.children.back(), page.children.front());
    }
    // The map keeps its pages in place as it grows.
    const std::uint32_t added = NewPage(std::move(left));
    page.prev = added;
    if (const std::uint32_t before = Load(added).prev; before != 0) {
      Load(before).next = added;
      changed_.insert(before);
    }
    IndexPage& parent = Load(parent_number);
    const std::size_t at = PlaceIn(parent, number);
    parent.entries.insert(parent.entries.begin() + static_cast<std::ptrdiff_t>(at),
                          Load(added).entries.back());
    parent.children.insert(parent.children.begin() + static_cast<std::ptrdiff_t>(at), added);
  }

  // Nodes link only the pages below the same parent; leaves all of them.
  void Unlink(std::uint32_t left, std::uint32_t right) {
    IndexPage &a = Load(left), &b = Load(right);
    if (a.leaf) return;
    if (a.next == right) a.next = 0;
    if (b.prev == left) b.prev = 0;
    changed_.insert(left);
    changed_.insert(right);
  }

  PageFile& file_;
  PageAllocator& pages_;
  std::uint32_t table_page_;
  std::map<std::uint32_t, IndexPage> loaded_;
  std::set<std::uint32_t> changed_;
  std::vector<std::uint32_t> added_;
};

}  // namespace

bool InsertIndexEntry(PageFile& file, PageAllocator& pages, std::uint32_t table_page,
                      const RealIndex& index, const Blob& key, RowId row, bool unique) {
  Blob entry = key;
  entry.insert(entry.end(),
               {static_cast<std::uint8_t>(row.page >> 16), static_cast<std::uint8_t>(row.page >> 8),
                static_cast<std::uint8_t>(row.page), static_cast<std::uint8_t>(row.row)});
  IndexTree tree(file, pages, table_page);
  std::vector<std::uint32_t> path = tree.PathTo(index.root, entry);
  IndexPage& leaf = tree.Load(path.back());
  const auto at = std::upper_bound(leaf.entries.begin(), leaf.entries.end(), entry);
  const bool repeated =
      tree.KeyTaken(leaf, static_cast<std::size_t>(at - leaf.entries.begin()), entry);
  // The catalog's rows hold no such name, so the index lists a row that is not there.
  if (repeated && unique) Damaged("an index entry for a row the table does not hold");
  leaf.entries.insert(at, entry);
  tree.Settle(path, path.size() - 1);
  const std::vector<std::uint32_t> added = tree.Write();
  if (!added.empty()) {
    std::vector<std::uint32_t> listed = ReadUsageMap(file, index.usage_map).pages;
    listed.insert(listed.end(), added.begin(), added.end());
    RewriteUsageMap(file, pages, index.usage_map, listed);
  }
  return !repeated;
}

}  // namespace zc::jet
