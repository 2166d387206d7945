// Memo and OLE values: in the row itself when short, else in rows of "LVAL"
// pages, one row or a chain of them. The row keeps a 12-byte reference:
// length and kind, the address of the first part, and four unused bytes.
#pragma once

#include <cstdint>

#include "jet/bytes.h"
#include "jet/page_file.h"

namespace zc::jet {

constexpr std::size_t kLongValueHeader = 12;

namespace long_value_kind {
constexpr std::uint32_t kInline = 0x80000000;
constexpr std::uint32_t kOnePage = 0x40000000;
constexpr std::uint32_t kMask = 0xC0000000;
}  // namespace long_value_kind

// Throws Damaged when the value's parts cannot be found.
Blob ReadLongValue(PageFile& file, Bytes reference);

// The addresses of the LVAL rows a reference points to, first part first.
std::vector<RowId> LongValueRows(PageFile& file, Bytes reference);

}  // namespace zc::jet
