#include "jet/rows.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "jet/field.h"

namespace zc::jet {
namespace {

constexpr std::size_t kJumpSize = 256;

// The stored size of a value of `type`; 0 for the variable-length types and
// for a code that names none.
std::size_t TypeSize(std::uint8_t type) {
  const TypeFacts* facts = FactsOfCode(type);
  return facts != nullptr ? facts->size : 0;
}

std::size_t FixedSize(const Column& column) {
  const std::size_t size = TypeSize(column.type);
  return size > 0 ? size : column.length;
}

[[noreturn]] void BadColumn(const Column& column, const std::string& why) {
  Damaged("a table definition whose column \"" + column.name + "\" " + why);
}

void CheckColumnPlace(const Format& f, const TableDefinition& table, const Column& column) {
  if (FactsOfCode(column.type) == nullptr) {
    BadColumn(column,
              "has a type this program cannot write (code " + std::to_string(column.type) + ")");
  }
  if (column.number >= table.max_columns) BadColumn(column, "lies beyond the row's columns");
  if (column.type == column_type::kBoolean) return;
  const std::size_t size = TypeSize(column.type);
  if (column.Fixed() != (size > 0))
    BadColumn(column, "is kept in the wrong part of the row for its type");
  if (column.Fixed() && f.row_count_size + column.fixed_offset + size > f.max_row_size) {
    BadColumn(column, "lies beyond the end of a row");
  }
  if (!column.Fixed() && column.var_index >= table.var_columns) {
    BadColumn(column, "lies beyond the row's variable-length columns");
  }
}

bool MaskBit(Bytes mask, std::size_t bit) {
  return bit / 8 < mask.size() && (mask[bit / 8] & (1 << (bit % 8))) != 0;
}

// Jet 4: two-byte offsets, the first right before the count at the end.
std::vector<std::size_t> VarOffsets4(Bytes row, std::size_t mask_size) {
  const std::size_t count_at = row.size() - mask_size - 2;
  const std::size_t count = Get16(row, count_at);
  std::vector<std::size_t> offsets(count + 1);
  for (std::size_t i = 0; i <= count; ++i) {
    if (count_at < 2 * (i + 1)) Damaged("a row's variable-length offsets");
    offsets[i] = Get16(row, count_at - 2 * (i + 1));
  }
  return offsets;
}

// Jet 3: one-byte offsets, with a jump table for each 256 bytes of row.
std::vector<std::size_t> VarOffsets3(Bytes row, std::size_t mask_size) {
  const std::size_t last = row.size() - 1;
  if (last < mask_size + 1) Damaged("a row's variable-length offsets");
  const std::size_t count = Get8(row, last - mask_size);
  std::size_t jumps = (row.size() - 1) / kJumpSize;
  if (last < mask_size + jumps + 1 + count) Damaged("a row's variable-length offsets");
  const std::size_t offsets_at = last - mask_size - jumps - 1;
  // The last jump may point beyond the data; then it is not one.
  if ((offsets_at - count) / kJumpSize < jumps) --jumps;
  std::vector<std::size_t> offsets(count + 1);
  std::size_t used = 0;
  for (std::size_t i = 0; i <= count; ++i) {
    while (used < jumps && i == Get8(row, last - mask_size - used - 1)) ++used;
    offsets[i] = Get8(row, offsets_at - i) + used * kJumpSize;
  }
  return offsets;
}

// Jet 4: the end of the data, the offsets from the last column's to the
// first's, and their count.
void AppendOffsets4(Blob& row, const std::vector<std::size_t>& offsets) {
  Push16(row, static_cast<std::uint32_t>(offsets.back()));
  for (std::size_t i = offsets.size() - 1; i-- > 0;)
    Push16(row, static_cast<std::uint32_t>(offsets[i]));
  Push16(row, static_cast<std::uint32_t>(offsets.size() - 1));
}

// Jet 3: the low bytes of the offsets (the end of the data first), then a
// jump table that says at which column each 256-byte boundary was crossed,
// then their count. The row's own length decides how many jumps it carries.
void AppendOffsets3(Blob& row, const std::vector<std::size_t>& offsets, std::size_t mask_size) {
  const std::size_t count = offsets.size() - 1, data_end = row.size();
  std::size_t jumps = 0;
  for (;;) {
    const std::size_t length = data_end + count + 2 + jumps + mask_size;
    if ((length - 1) / kJumpSize == jumps) break;
    jumps = (length - 1) / kJumpSize;
  }
  for (std::size_t i = offsets.size(); i-- > 0;)
    row.push_back(static_cast<std::uint8_t>(offsets[i] & 0xFF));
  for (std::size_t j = jumps; j-- > 0;) {
    std::uint8_t first = 0xFF;  // no offset beyond this boundary: never matched
    for (std::size_t i = 0; i <= count; ++i) {
      if (offsets[i] >= (j + 1) * kJumpSize) {
        first = static_cast<std::uint8_t>(i);
        break;
      }
    }
    row.push_back(first);
  }
  row.push_back(static_cast<std::uint8_t>(count));
}

// The variable-length values in the order of their places, then their offsets.
void AppendVariable(const Format& f, const TableDefinition& table, const std::vector<Cell>& cells,
                    const std::vector<const Column*>& variable, std::size_t mask_size,
                    std::size_t min_size, Blob& row) {
  std::vector<std::size_t> offsets;
  offsets.reserve(variable.size() + 1);
  for (const Column* column : variable) {
    offsets.push_back(row.size());
    if (column == nullptr) continue;
    const Cell& cell = cells[static_cast<std::size_t>(column - table.columns.data())];
    if (cell.present) row.insert(row.end(), cell.bytes.begin(), cell.bytes.end());
  }
  offsets.push_back(row.size());
  // A row rewritten in place keeps its length: the padding lies after the
  // data. (Jet 3 rows carry one jump byte for each 256 bytes of their length.)
  const std::size_t trailer = (offsets.size() + 1) * f.row_count_size + mask_size +
                              (f.jet4 || min_size == 0 ? 0 : (min_size - 1) / kJumpSize);
  if (row.size() + trailer < min_size) row.resize(min_size - trailer, 0);
  if (f.jet4) {
    AppendOffsets4(row, offsets);
  } else {
    AppendOffsets3(row, offsets, mask_size);
  }
}

}  // namespace

void CheckRowLayout(const Format& f, const TableDefinition& table) {
  const std::size_t mask = (table.max_columns + 7) / 8;
  // The column count, the variable-length offsets with the data's end and
  // their count, and the null mask must leave room in a row.
  const std::size_t trailer = f.row_count_size * (3 + std::size_t{table.var_columns}) + mask;
  if (table.columns.empty() || table.columns.size() > table.max_columns ||
      trailer > f.max_row_size) {
    Damaged("a table definition whose rows cannot hold its columns");
  }
  for (const Column& column : table.columns) CheckColumnPlace(f, table, column);
}

std::vector<Cell> SplitRow(const Format& f, const TableDefinition& table, Bytes row) {
  std::vector<Cell> cells;
  SplitRowInto(f, table, row, cells);
  return cells;
}

void SplitRowInto(const Format& f, const TableDefinition& table, Bytes row,
                  std::vector<Cell>& cells) {
  if (row.size() < f.row_count_size) Damaged("an empty row");
  const std::size_t columns = f.jet4 ? Get16(row, 0) : Get8(row, 0);
  const std::size_t mask_size = (columns + 7) / 8;
  if (row.size() < f.row_count_size + mask_size) Damaged("a row shorter than its null mask");
  const Bytes mask = row.subspan(row.size() - mask_size);
  std::vector<std::size_t> offsets;
  if (table.var_columns > 0 && row.size() >= f.row_count_size + mask_size + (f.jet4 ? 4 : 2)) {
    offsets = f.jet4 ? VarOffsets4(row, mask_size) : VarOffsets3(row, mask_size);
  }
  cells.clear();
  cells.reserve(table.columns.size());
  for (const Column& column : table.columns) {
    Cell& cell = cells.emplace_back();
    cell.present = column.number < columns && MaskBit(mask, column.number);
    if (column.type == column_type::kBoolean || !cell.present) continue;
    std::size_t start = 0, end = 0;
    if (column.Fixed()) {
      start = f.row_count_size + column.fixed_offset;
      end = start + FixedSize(column);
    } else if (std::size_t{column.var_index} + 1 < offsets.size()) {
      start = offsets[column.var_index];
      end = offsets[column.var_index + 1];
    } else {
      cell.present = false;  // added to the table after this row was written
      continue;
    }
    if (start > end || end > row.size()) Damaged("a value outside its row");
    cell.bytes = row.subspan(start, end - start);
  }
}

Blob BuildRow(const Format& f, const TableDefinition& table, const std::vector<Cell>& cells,
              std::size_t min_size) {
  CheckRowLayout(f, table);
  Blob row;
  BuildRowInto(f, table, cells, min_size, row);
  return row;
}

void BuildRowInto(const Format& f, const TableDefinition& table, const std::vector<Cell>& cells,
                  std::size_t min_size, Blob& row) {
  if (cells.size() != table.columns.size()) throw std::logic_error("a row of the wrong width");
  row.clear();
  row.reserve(std::max(min_size, f.max_row_size));  // grown once, not value by value
  if (f.jet4) {
    Push16(row, table.max_columns);
  } else {
    row.push_back(static_cast<std::uint8_t>(table.max_columns));
  }
  Blob mask((table.max_columns + 7) / 8, 0);
  std::size_t fixed_end = row.size();
  std::vector<const Column*> variable(table.var_columns, nullptr);
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    const Column& column = table.columns[i];
    if (cells[i].present)
      mask[column.number / 8] |= static_cast<std::uint8_t>(1 << (column.number % 8));
    if (column.type == column_type::kBoolean) continue;
    if (!column.Fixed()) {
      if (variable[column.var_index] != nullptr) BadColumn(column, "shares its place with another");
      variable[column.var_index] = &column;
      continue;
    }
    // Access expects room for every fixed value, Null or not.
    const std::size_t at = f.row_count_size + column.fixed_offset, size = FixedSize(column);
    if (row.size() < at + size) row.resize(at + size, 0);
    fixed_end = std::max(fixed_end, at + size);
    if (!cells[i].present) continue;
    if (cells[i].bytes.size() != size)
      throw std::logic_error("a value of the wrong size for its column");
    PutBytes(row, at, cells[i].bytes);
  }
  row.resize(fixed_end, 0);
  if (table.var_columns > 0) AppendVariable(f, table, cells, variable, mask.size(), min_size, row);
  if (row.size() + mask.size() < min_size) row.resize(min_size - mask.size(), 0);
  row.insert(row.end(), mask.begin(), mask.end());
  if (row.size() > f.max_row_size) DoesNotFit("a row longer than a page can hold");
}

}  // namespace zc::jet
