// A table definition (TDEF) as the file keeps it: columns, indexes and the
// usage maps that list the table's pages. It may run over several pages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/bytes.h"
#include "jet/page_file.h"

namespace zc::jet {

// Column type codes as stored.
namespace column_type {
constexpr std::uint8_t kBoolean = 1, kByte = 2, kInteger = 3, kLong = 4, kCurrency = 5,
                       kSingle = 6, kDouble = 7, kDate = 8, kBinary = 9, kText = 10,
                       kLongBinary = 11, kMemo = 12, kGuid = 15, kDecimal = 16;
}

namespace column_flag {
constexpr std::uint8_t kFixed = 0x01, kCanBeNull = 0x02, kAutoNumber = 0x04,
                       kReplication = 0x10, kAutoGuid = 0x40, kHyperlink = 0x80;
constexpr std::uint8_t kCompressedUnicode = 0x01;  // of the extra flags (Jet 4)
}  // namespace column_flag

struct Column {
  std::string name;
  std::uint8_t type = 0;
  std::uint16_t number = 0;     // its bit in a row's null mask
  std::uint16_t var_index = 0;  // its place in the variable-length offsets
  std::uint16_t fixed_offset = 0;
  std::uint16_t length = 0;  // bytes; Jet 4 text: two per character
  std::uint8_t flags = 0;
  std::uint8_t extra_flags = 0;
  std::uint8_t precision = 0, scale = 0;
  std::uint16_t sort_order = 0;  // text columns

  bool Fixed() const { return (flags & column_flag::kFixed) != 0; }
  bool LongValue() const {
    return type == column_type::kMemo || type == column_type::kLongBinary;
  }
};

struct RealIndex {
  std::vector<std::uint16_t> columns;  // column numbers, in key order
  std::vector<std::uint8_t> orders;    // 1: ascending
  RowId usage_map;
  std::uint32_t root = 0;
  std::uint8_t flags = 0;
  std::size_t unique_count_at = 0;  // offset in TableDefinition::bytes
};

struct LogicalIndex {
  std::string name;
  std::uint32_t real = 0;
  std::uint8_t type = 0;  // 1: primary key, 2: foreign key
};

// The two usage maps of a memo or OLE column.
struct ColumnMaps {
  std::uint16_t column = 0;
  RowId owned, free;
};

struct TableDefinition {
  std::vector<std::uint32_t> pages;  // the chain, first page first
  Blob bytes;  // the whole definition: the first page, then the rest of each further page
  std::uint32_t row_count = 0;
  std::uint32_t autonumber = 0;
  std::uint8_t table_type = 0;
  std::uint16_t max_columns = 0, var_columns = 0;
  std::vector<Column> columns;  // by column number
  std::vector<RealIndex> real_indexes;
  std::vector<LogicalIndex> logical_indexes;
  RowId owned_map, free_map;
  std::vector<ColumnMaps> column_maps;

  std::uint32_t page() const { return pages.front(); }
  const Column* Find(const std::string& name) const;
};

// Throws Damaged when the definition cannot be read.
TableDefinition ReadTableDefinition(PageFile& file, std::uint32_t page);

}  // namespace zc::jet
