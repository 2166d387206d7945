// Rows on a data page: a directory of offsets after the header, the rows
// themselves packed from the end of the page towards it.
#pragma once

#include <cstdint>

#include "jet/bytes.h"
#include "jet/format.h"

namespace zc::jet {

namespace row_flag {
constexpr std::uint32_t kDeleted = 0x8000;
constexpr std::uint32_t kOverflow = 0x4000;  // the row holds the address of its data
constexpr std::uint32_t kOffsetMask = 0x1FFF;
}  // namespace row_flag

struct RowSpan {
  std::size_t start = 0, end = 0;
  bool deleted = false, overflow = false;
  std::size_t size() const { return end - start; }
};

std::uint32_t RowCount(const Format& format, Bytes page);
// Throws Damaged for a row outside the page or the directory.
RowSpan RowAt(const Format& format, Bytes page, std::uint32_t row);
// The bytes of that row; its span too when `span` is given.
Blob RowBytes(const Format& format, Bytes page, std::uint32_t row, RowSpan* span = nullptr);
// Marks the row deleted, as Access does: its directory entry says so and that
// it holds no data of its own, so no reader follows it.
void MarkRowDeleted(const Format& format, Blob& page, std::uint32_t row);

// A new, empty data page owned by `owner` (0: the page of usage maps, or
// "LVAL" for long values).
Blob NewDataPage(const Format& format, std::uint32_t owner);
constexpr std::uint32_t kLongValueOwner = 0x4C41564C;  // "LVAL"

// Room left on a data page for one more row of `size` bytes.
bool RowFits(const Format& format, Bytes page, std::size_t size);
// Adds a row at the end of the directory; returns its number.
std::uint32_t AddRow(const Format& format, Blob& page, Bytes row, std::uint32_t flags = 0);

}  // namespace zc::jet
