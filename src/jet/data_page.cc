#include "jet/data_page.h"

#include <algorithm>
#include <stdexcept>

namespace zc::jet {
namespace {

constexpr std::uint32_t kMaxRowsPerPage = 255;

std::size_t DirectoryEnd(const Format& f, std::uint32_t rows) { return f.data_rows_at + 2 * rows; }

// Where the packed rows begin: the start of the last row, or the page's end.
std::size_t RowsStart(const Format& f, Bytes page, std::uint32_t rows) {
  if (rows == 0) return page.size();
  const std::size_t start = Get16(page, f.data_rows_at + 2 * (rows - 1)) & row_flag::kOffsetMask;
  if (start < DirectoryEnd(f, rows) || start > page.size()) Damaged("a data page's list of rows");
  return start;
}

}  // namespace

std::uint32_t RowCount(const Format& f, Bytes page) {
  const std::uint32_t rows = Get16(page, f.data_row_count_at);
  if (DirectoryEnd(f, rows) > page.size()) Damaged("a data page's list of rows");
  return rows;
}

RowSpan RowAt(const Format& f, Bytes page, std::uint32_t row) {
  const std::uint32_t rows = RowCount(f, page);
  if (row >= rows) Damaged("a reference to a row that is not on its page");
  const std::uint32_t word = Get16(page, f.data_rows_at + 2 * row);
  RowSpan span;
  span.start = word & row_flag::kOffsetMask;
  span.end =
      row == 0 ? page.size() : Get16(page, f.data_rows_at + 2 * (row - 1)) & row_flag::kOffsetMask;
  span.deleted = (word & row_flag::kDeleted) != 0;
  span.overflow = (word & row_flag::kOverflow) != 0;
  // A deleted row may have given its bytes away; only live rows must fit.
  if (span.deleted) span.end = std::max(span.start, span.end);
  if (span.start < DirectoryEnd(f, rows) || span.end > page.size() || span.start > span.end) {
    Damaged("a row outside its page");
  }
  return span;
}

Blob RowBytes(const Format& f, Bytes page, std::uint32_t row, RowSpan* span) {
  const RowSpan found = RowAt(f, page, row);
  if (span) *span = found;
  return Blob(page.begin() + static_cast<std::ptrdiff_t>(found.start),
              page.begin() + static_cast<std::ptrdiff_t>(found.end));
}

void MarkRowDeleted(const Format& f, Blob& page, std::uint32_t row) {
  const std::size_t at = f.data_rows_at + 2 * row;
  Put16(page, at, Get16(page, at) | row_flag::kDeleted | row_flag::kOverflow);
}

Blob NewDataPage(const Format& f, std::uint32_t owner) {
  Blob page(f.page_size, 0);
  page[0] = page_type::kData;
  page[1] = 0x01;
  Put16(page, f.data_free_at, static_cast<std::uint32_t>(f.page_size - f.data_rows_at));
  Put32(page, f.data_owner_at, owner);
  return page;
}

// The page's own count of free bytes may be wrong in a damaged file: the
// room between the directory and the rows decides too.
bool RowFits(const Format& f, Bytes page, std::size_t size) {
  const std::uint32_t rows = RowCount(f, page);
  if (rows >= kMaxRowsPerPage || size + 2 > Get16(page, f.data_free_at)) return false;
  return DirectoryEnd(f, rows + 1) + size <= RowsStart(f, page, rows);
}

std::uint32_t AddRow(const Format& f, Blob& page, Bytes row, std::uint32_t flags) {
  if (!RowFits(f, page, row.size())) throw std::logic_error("a row added to a page without room");
  const std::uint32_t rows = RowCount(f, page);
  const std::size_t start = RowsStart(f, page, rows) - row.size();
  PutBytes(page, start, row);
  Put16(page, f.data_rows_at + 2 * rows, static_cast<std::uint32_t>(start) | flags);
  Put16(page, f.data_row_count_at, rows + 1);
  Put16(page, f.data_free_at,
        Get16(page, f.data_free_at) - static_cast<std::uint32_t>(row.size() + 2));
  return rows;
}

}  // namespace zc::jet
