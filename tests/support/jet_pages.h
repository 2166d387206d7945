// The page formats of an Access (Jet 4) file, as far as a writer of small test
// databases needs them: the header page, table definitions, data pages and
// page usage maps. Numbers are little-endian; a page is 4096 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zc::testing::jet4 {

constexpr std::size_t kPageSize = 4096;
using Bytes = std::vector<std::uint8_t>;

// Type codes as the file stores them.
enum class ColumnType : std::uint8_t {
  kBoolean = 0x01,
  kInteger = 0x03,
  kLong = 0x04,
  kDouble = 0x07,
  kText = 0x0a,
  kLongBinary = 0x0b,  // here always Null: the catalog's property column
};

struct ColumnDef {
  std::string name;
  ColumnType type = ColumnType::kLong;
  // In bytes, as the definition records it: two per Text character, 1 for a
  // Boolean (which takes no bytes of a row).
  int size = 0;
};

// One value of a row: a Null has no bytes; a Boolean has none either, its
// value is its bit in the row's null mask.
struct Cell {
  bool present = false;
  Bytes bytes;
};

struct TableDef {
  std::vector<ColumnDef> columns;
  std::uint32_t row_count = 0;
  bool system = false;
  // Rows of the page map page ((page << 8) | row) that list the table's pages.
  std::uint32_t usage_map = 0;
  std::uint32_t free_map = 0;
};

void Put16(Bytes& bytes, std::size_t at, std::uint32_t value);
void Put32(Bytes& bytes, std::size_t at, std::uint32_t value);
// UTF-8 as UCS-2 (UTF-16LE without surrogates), which is all Jet 4 readers
// such as libmdb 1.0 decode. Throws std::invalid_argument for malformed UTF-8
// and for characters beyond U+FFFF.
Bytes Utf16(const std::string& utf8);

Bytes HeaderPage();
// Throws std::invalid_argument when the definition needs more than one page.
Bytes TableDefinitionPage(const TableDef& table);
// Throws std::invalid_argument when a value does not fit its column.
Bytes EncodeRow(const std::vector<ColumnDef>& columns, const std::vector<Cell>& cells);
// The rows packed into as many data pages as they need, each page naming the
// table definition page `owner`.
std::vector<Bytes> DataPages(const std::vector<Bytes>& rows, std::uint32_t owner);
// A usage map row: the `count` pages from page `first` on belong to a table.
Bytes UsageMap(std::uint32_t first, std::size_t count);

}  // namespace zc::testing::jet4
