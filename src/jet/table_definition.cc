#include "jet/table_definition.h"

#include <algorithm>
#include <set>

#include "jet/text.h"

namespace zc::jet {
namespace {

constexpr std::size_t kMaxDefinitionPages = 64;
constexpr std::size_t kIndexColumns = 10;

// The first page whole, then each further page without its 8-byte header.
void LoadChain(PageFile& file, std::uint32_t page, TableDefinition& table) {
  std::set<std::uint32_t> seen;
  while (page != 0) {
    if (!seen.insert(page).second || seen.size() > kMaxDefinitionPages) {
      Damaged("a table definition that runs in a circle");
    }
    Blob bytes = file.Read(page);
    if (bytes[0] != page_type::kTableDefinition) Damaged("a table definition page");
    table.pages.push_back(page);
    table.bytes.insert(table.bytes.end(), bytes.begin() + (table.bytes.empty() ? 0 : 8),
                       bytes.end());
    page = Get32(bytes, 4);
  }
}

class Cursor {
 public:
  Cursor(const Format& format, Bytes bytes, std::size_t at)
      : format_(format), bytes_(bytes), at_(at) {}
  std::size_t at() const { return at_; }
  void Skip(std::size_t count) {
    CheckRange(bytes_, at_, count);
    at_ += count;
  }
  std::string Name() {
    const std::size_t length =
        format_.name_length_size == 2 ? Get16(bytes_, at_) : Get8(bytes_, at_);
    Skip(format_.name_length_size);
    CheckRange(bytes_, at_, length);
    std::string name = DecodeName(bytes_.subspan(at_, length), format_.jet4);
    at_ += length;
    return name;
  }

 private:
  const Format& format_;
  Bytes bytes_;
  std::size_t at_;
};

Column ReadColumn(const Format& f, Bytes b, std::size_t at) {
  CheckRange(b, at, f.column_size);
  Column c;
  c.type = b[at];
  c.number = static_cast<std::uint16_t>(Get16(b, at + f.col_number_at));
  c.var_index = static_cast<std::uint16_t>(Get16(b, at + f.col_var_index_at));
  c.flags = b[at + f.col_flags_at];
  c.extra_flags = f.jet4 ? b[at + f.col_flags_at + 1] : 0;
  c.fixed_offset = static_cast<std::uint16_t>(Get16(b, at + f.col_fixed_at));
  c.length = static_cast<std::uint16_t>(Get16(b, at + f.col_length_at));
  // Jet 3 keeps the sort order two bytes further on, after an unknown word.
  const std::size_t misc = at + f.col_misc_at + (f.jet4 ? 0 : 2);
  if (c.type == column_type::kDecimal) {
    c.precision = b[at + (f.jet4 ? 11 : 11)];
    c.scale = b[at + 12];
  } else {
    c.sort_order = static_cast<std::uint16_t>(Get16(b, misc));
  }
  return c;
}

RealIndex ReadRealIndex(const Format& f, Bytes b, Cursor& cursor) {
  RealIndex index;
  cursor.Skip(f.jet4 ? 4 : 0);
  for (std::size_t i = 0; i < kIndexColumns; ++i) {
    const std::uint32_t column = Get16(b, cursor.at());
    const std::uint8_t order = static_cast<std::uint8_t>(Get8(b, cursor.at() + 2));
    cursor.Skip(3);
    if (column == 0xFFFF) continue;
    index.columns.push_back(static_cast<std::uint16_t>(column));
    index.orders.push_back(order);
  }
  index.usage_map = RowId::Of(Get32(b, cursor.at()));
  index.root = Get32(b, cursor.at() + 4);
  cursor.Skip(8 + (f.jet4 ? 4 : 0));
  index.flags = static_cast<std::uint8_t>(Get8(b, cursor.at()));
  cursor.Skip(f.jet4 ? 6 : 1);
  return index;
}

LogicalIndex ReadLogicalIndex(const Format& f, Bytes b, Cursor& cursor) {
  const std::size_t at = cursor.at() + (f.jet4 ? 4 : 0);
  CheckRange(b, cursor.at(), f.logical_index_size);
  LogicalIndex index;
  index.real = Get32(b, at + 4);
  index.type = static_cast<std::uint8_t>(Get8(b, at + 8 + 1 + 4 + 4 + 2));
  cursor.Skip(f.logical_index_size);
  return index;
}

void ReadHeader(const Format& f, TableDefinition& t) {
  Bytes b = t.bytes;
  CheckRange(b, 0, f.tdef_header_size);
  t.row_count = Get32(b, f.tdef_rows_at);
  t.autonumber = Get32(b, f.tdef_autonumber_at);
  t.table_type = b[f.tdef_type_at];
  t.max_columns = static_cast<std::uint16_t>(Get16(b, f.tdef_max_cols_at));
  t.var_columns = static_cast<std::uint16_t>(Get16(b, f.tdef_var_cols_at));
  t.owned_map = RowId::Of(Get32(b, f.tdef_owned_map_at));
  t.free_map = RowId::Of(Get32(b, f.tdef_free_map_at));
}

void ReadColumnMaps(Bytes b, Cursor& cursor, TableDefinition& t) {
  while (cursor.at() + 2 <= b.size()) {
    const std::uint32_t column = Get16(b, cursor.at());
    if (column == 0xFFFF) break;
    t.column_maps.push_back({static_cast<std::uint16_t>(column),
                             RowId::Of(Get32(b, cursor.at() + 2)),
                             RowId::Of(Get32(b, cursor.at() + 6))});
    cursor.Skip(10);
  }
}

}  // namespace

const Column* TableDefinition::Find(const std::string& name) const {
  for (const Column& column : columns) {
    if (column.name == name) return &column;
  }
  return nullptr;
}

TableDefinition ReadTableDefinition(PageFile& file, std::uint32_t page) {
  const Format& f = file.format();
  TableDefinition t;
  LoadChain(file, page, t);
  ReadHeader(f, t);
  Bytes b = t.bytes;
  const std::uint32_t columns = Get16(b, f.tdef_cols_at);
  const std::uint32_t logical = Get32(b, f.tdef_logical_indexes_at);
  const std::uint32_t real = Get32(b, f.tdef_real_indexes_at);
  if (columns == 0 || columns > 255 || logical > 64 || real > 64) {
    Damaged("a table definition");
  }
  Cursor cursor(f, b, f.tdef_header_size);
  std::vector<std::size_t> unique_counts;
  for (std::uint32_t i = 0; i < real; ++i) {
    unique_counts.push_back(cursor.at() + 4);
    cursor.Skip(f.real_index_count_size);
  }
  for (std::uint32_t i = 0; i < columns; ++i) {
    t.columns.push_back(ReadColumn(f, b, cursor.at()));
    cursor.Skip(f.column_size);
  }
  for (Column& column : t.columns) column.name = cursor.Name();
  for (std::uint32_t i = 0; i < real; ++i) {
    t.real_indexes.push_back(ReadRealIndex(f, b, cursor));
    t.real_indexes.back().unique_count_at = unique_counts[i];
  }
  for (std::uint32_t i = 0; i < logical; ++i) t.logical_indexes.push_back(ReadLogicalIndex(f, b, cursor));
  for (LogicalIndex& index : t.logical_indexes) index.name = cursor.Name();
  if (f.jet4) ReadColumnMaps(b, cursor, t);
  std::stable_sort(t.columns.begin(), t.columns.end(),
                   [](const Column& a, const Column& b) { return a.number < b.number; });
  return t;
}

}  // namespace zc::jet
