#include "jet/scan.h"

#include "jet/data_page.h"
#include "jet/usage_map.h"

namespace zc::jet {
namespace {

// An overflow row holds the address of its data: row number, then page.
Blob OverflowData(PageFile& file, Bytes pointer) {
  if (pointer.size() < 4) Damaged("an overflow row");
  const RowId where{Get24(pointer, 1), Get8(pointer, 0)};
  const Blob page = file.Read(where.page);
  if (page[0] != page_type::kData) Damaged("an overflow row pointing outside the data");
  const RowSpan span = RowAt(file.format(), page, where.row);
  return Blob(page.begin() + static_cast<std::ptrdiff_t>(span.start),
              page.begin() + static_cast<std::ptrdiff_t>(span.end));
}

}  // namespace

void ScanRows(PageFile& file, const TableDefinition& table, const RowVisitor& visit) {
  const Format& f = file.format();
  for (std::uint32_t number : ReadUsageMap(file, table.owned_map).pages) {
    const Blob page = file.Read(number);
    // The map may list pages of other kinds (indexes, long values).
    if (page[0] != page_type::kData || Get32(page, f.data_owner_at) != table.page()) continue;
    const std::uint32_t rows = RowCount(f, page);
    for (std::uint32_t row = 0; row < rows; ++row) {
      const RowSpan span = RowAt(f, page, row);
      if (span.deleted) continue;
      const Bytes bytes = Bytes(page).subspan(span.start, span.size());
      if (span.overflow) {
        const Blob data = OverflowData(file, bytes);
        visit({number, row}, data);
      } else {
        visit({number, row}, bytes);
      }
    }
  }
}

}  // namespace zc::jet
