// Where things lie in the pages of an Access 97 (Jet 3) and an Access
// 2000-2003 (Jet 4) file. The two differ in page size and in offsets only;
// everything else reads the same way through these numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "jet/bytes.h"

namespace zc::jet {

// What the first bytes of a file say it is.
enum class FileKind { kOther, kJet3, kJet4, kAce };
FileKind KindOfHeader(Bytes head);
// Reads the file's first bytes; kOther when it cannot be read.
FileKind KindOfFile(const std::string& path);

namespace page_type {
constexpr std::uint8_t kData = 0x01;
constexpr std::uint8_t kTableDefinition = 0x02;
constexpr std::uint8_t kIndexNode = 0x03;
constexpr std::uint8_t kIndexLeaf = 0x04;
constexpr std::uint8_t kUsageMap = 0x05;
}  // namespace page_type

struct Format {
  bool jet4;
  std::size_t page_size;

  // Data pages: free space, owning table, row count, row offsets.
  std::size_t data_free_at, data_owner_at, data_row_count_at, data_rows_at;

  // Table definitions.
  std::size_t tdef_length_at, tdef_rows_at, tdef_autonumber_at, tdef_type_at, tdef_max_cols_at,
      tdef_var_cols_at, tdef_cols_at, tdef_logical_indexes_at, tdef_real_indexes_at,
      tdef_owned_map_at, tdef_free_map_at, tdef_header_size;
  std::size_t real_index_count_size;  // per real index, before the columns
  std::size_t column_size;
  std::size_t col_number_at, col_var_index_at, col_number2_at, col_misc_at, col_flags_at,
      col_fixed_at, col_length_at;
  std::size_t name_length_size;
  std::size_t real_index_size, logical_index_size;

  // Rows: the column count and the variable-length offsets take this many bytes.
  std::size_t row_count_size;
  std::size_t max_row_size;
  std::size_t max_long_value_row;

  // Usage maps: the bitmap of an inline map, in bytes.
  std::size_t inline_map_bytes;

  // Index pages.
  std::size_t index_prev_at, index_next_at, index_tail_at, index_prefix_at, index_mask_at,
      index_mask_size;
  std::size_t IndexEntriesAt() const { return index_mask_at + index_mask_size; }
  std::size_t UsageMapRowSize() const { return 5 + inline_map_bytes; }
  // Pages one bitmap page of a reference map covers.
  std::size_t PagesPerMapPage() const { return (page_size - 4) * 8; }
};

const Format& Jet3Format();
const Format& Jet4Format();

}  // namespace zc::jet
