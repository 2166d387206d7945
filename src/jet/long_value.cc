#include "jet/long_value.h"

#include <set>
#include <vector>

#include "jet/data_page.h"

namespace zc::jet {
namespace {

Blob PartBytes(PageFile& file, RowId where) {
  const Blob page = file.Read(where.page);
  // Only "LVAL" pages hold them: a reference elsewhere would have the
  // writer delete rows of another table when it drops this one.
  if (page[0] != page_type::kData || Get32(page, file.format().data_owner_at) != kLongValueOwner) {
    Damaged("a memo or OLE value on a page that holds none");
  }
  return RowBytes(file.format(), page, where.row);
}

// Visits the parts of a value stored outside its row, in order.
template <typename Visit>
void WalkParts(PageFile& file, Bytes reference, Visit&& visit) {
  const std::uint32_t head = Get32(reference, 0);
  const std::size_t length = head & ~long_value_kind::kMask;
  const RowId first = RowId::Of(Get32(reference, 4));
  if (head & long_value_kind::kOnePage) {
    visit(first, PartBytes(file, first), length);
    return;
  }
  std::set<RowId> seen;
  std::size_t gathered = 0;
  for (RowId next = first; gathered < length;) {
    if (next.page == 0 || !seen.insert(next).second) Damaged("a memo or OLE value cut short");
    const Blob part = PartBytes(file, next);
    if (part.size() <= 4) Damaged("an empty part of a memo or OLE value");
    gathered += part.size() - 4;
    visit(next, part, length);
    next = RowId::Of(Get32(part, 0));
  }
}

}  // namespace

Blob ReadLongValue(PageFile& file, Bytes reference) {
  if (reference.size() < kLongValueHeader) Damaged("a memo or OLE value");
  const std::uint32_t head = Get32(reference, 0);
  const std::size_t length = head & ~long_value_kind::kMask;
  Blob data;
  if (head & long_value_kind::kInline) {
    data.assign(reference.begin() + kLongValueHeader, reference.end());
  } else {
    const bool one_page = (head & long_value_kind::kOnePage) != 0;
    WalkParts(file, reference, [&](RowId, const Blob& part, std::size_t) {
      data.insert(data.end(), part.begin() + (one_page ? 0 : 4), part.end());
    });
  }
  if (data.size() < length) Damaged("a memo or OLE value shorter than recorded");
  data.resize(length);
  return data;
}

std::vector<RowId> LongValueRows(PageFile& file, Bytes reference) {
  std::vector<RowId> rows;
  if (reference.size() < kLongValueHeader || (Get32(reference, 0) & long_value_kind::kInline)) {
    return rows;
  }
  WalkParts(file, reference, [&](RowId where, const Blob&, std::size_t) { rows.push_back(where); });
  return rows;
}

}  // namespace zc::jet
