#include "jet/table_layout.h"

#include <stdexcept>

#include "jet/text.h"

namespace zc::jet {
namespace {

constexpr std::size_t kMaxNameLength = 64;
constexpr std::uint32_t kMagic = 1625;  // a constant Access writes into definitions
constexpr std::uint16_t kGeneralSortOrder = 0x0409;
constexpr std::uint16_t kWindows1252 = 1252;
constexpr std::uint8_t kUserTable = 0x4E;

Column ColumnOf(const Format& f, const Field& field, std::uint16_t number) {
  if (field.name.empty() || field.name.size() > kMaxNameLength * 3 ||
      TextLength(field.name, f.jet4) > kMaxNameLength) {
    DoesNotFit("a field name must have 1 to 64 characters: \"" + field.name + "\"");
  }
  if (field.type == DataType::kDecimal && !f.jet4) {
    Unsupported("field \"" + field.name + "\": an Access 97 file holds no Decimal fields");
  }
  const TypeFacts& facts = FactsOf(field.type);
  Column c;
  c.name = field.name;
  c.type = facts.code;
  c.number = number;
  c.flags = column_flag::kCanBeNull | (facts.size > 0 ? column_flag::kFixed : 0);
  if (field.type == DataType::kCounter) c.flags |= column_flag::kAutoNumber;
  c.length = facts.size;
  if (field.type == DataType::kText || field.type == DataType::kBinary) {
    if (field.size < 1 || field.size > 255) {
      DoesNotFit("field \"" + field.name + "\" must hold 1 to 255 characters");
    }
    c.length =
        static_cast<std::uint16_t>(field.size * (f.jet4 && field.type == DataType::kText ? 2 : 1));
  }
  if (field.type == DataType::kText || field.type == DataType::kMemo) {
    c.sort_order = kGeneralSortOrder;
    if (f.jet4) c.extra_flags = column_flag::kCompressedUnicode;
  }
  if (field.type == DataType::kDecimal) {
    c.precision = static_cast<std::uint8_t>(field.precision);
    c.scale = static_cast<std::uint8_t>(field.scale);
  }
  return c;
}

void PushName(Blob& out, const Format& f, const std::string& name) {
  const Blob bytes = EncodeName(name, f.jet4);
  if (f.jet4) {
    Push16(out, static_cast<std::uint32_t>(bytes.size()));
  } else {
    out.push_back(static_cast<std::uint8_t>(bytes.size()));
  }
  out.insert(out.end(), bytes.begin(), bytes.end());
}

void PushColumn(Blob& out, const Format& f, const Column& c) {
  Blob entry(f.column_size, 0);
  entry[0] = c.type;
  if (f.jet4) Put32(entry, 1, kMagic);
  Put16(entry, f.col_number_at, c.number);
  Put16(entry, f.col_var_index_at, c.var_index);
  Put16(entry, f.col_number2_at, c.number);
  if (c.type == column_type::kDecimal) {
    entry[11] = c.precision;
    entry[12] = c.scale;
  } else if (f.jet4) {
    Put16(entry, 11, kGeneralSortOrder);  // Access writes it for every column
  } else {
    Put16(entry, 7, 1);
    Put16(entry, 9, kGeneralSortOrder);
    Put16(entry, 11, kWindows1252);
  }
  entry[f.col_flags_at] = c.flags;
  if (f.jet4) entry[f.col_flags_at + 1] = c.extra_flags;
  Put16(entry, f.col_fixed_at, c.Fixed() ? c.fixed_offset : 0);
  Put16(entry, f.col_length_at, c.length);
  out.insert(out.end(), entry.begin(), entry.end());
}

Blob Header(const Format& f, const TableDefinition& t) {
  Blob header(f.tdef_header_size, 0);
  header[0] = page_type::kTableDefinition;
  header[1] = 0x01;
  if (f.jet4) {
    Put32(header, 12, kMagic);
    header[24] = 0x01;  // lets Access number an AutoNumber column
  } else {
    header[2] = 'V';
    header[3] = 'C';
  }
  Put32(header, f.tdef_rows_at, t.row_count);
  Put32(header, f.tdef_autonumber_at, t.autonumber);
  header[f.tdef_type_at] = kUserTable;
  Put16(header, f.tdef_max_cols_at, t.max_columns);
  Put16(header, f.tdef_var_cols_at, t.var_columns);
  Put16(header, f.tdef_cols_at, static_cast<std::uint32_t>(t.columns.size()));
  Put32(header, f.tdef_owned_map_at, t.owned_map.Packed());
  Put32(header, f.tdef_free_map_at, t.free_map.Packed());
  return header;
}

}  // namespace

TableDefinition LayOutTable(const Format& f, const std::vector<Field>& fields) {
  if (fields.empty() || fields.size() > 255) {
    DoesNotFit("a table must have 1 to 255 fields");
  }
  TableDefinition t;
  t.table_type = kUserTable;
  std::uint16_t fixed = 0, var = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    Column c = ColumnOf(f, fields[i], static_cast<std::uint16_t>(i));
    if (c.Fixed() && c.type != column_type::kBoolean) {
      c.fixed_offset = fixed;
      fixed = static_cast<std::uint16_t>(fixed + c.length);
    }
    if (!c.Fixed() && !c.LongValue()) c.var_index = var++;
    t.columns.push_back(std::move(c));
  }
  // Memo and OLE references go last, so that short values fit the row first.
  for (Column& c : t.columns) {
    if (c.LongValue()) c.var_index = var++;
  }
  t.max_columns = static_cast<std::uint16_t>(t.columns.size());
  t.var_columns = var;
  return t;
}

Blob EncodeTableDefinition(const Format& f, const TableDefinition& t) {
  Blob out = Header(f, t);
  for (const Column& c : t.columns) PushColumn(out, f, c);
  for (const Column& c : t.columns) PushName(out, f, c.name);
  for (const ColumnMaps& maps : t.column_maps) {
    Push16(out, maps.column);
    Push32(out, maps.owned.Packed());
    Push32(out, maps.free.Packed());
  }
  Push16(out, 0xFFFF);
  Put32(out, f.tdef_length_at, static_cast<std::uint32_t>(out.size()));
  return out;
}

std::size_t DefinitionPages(const Format& f, std::size_t length) {
  if (length <= f.page_size) return 1;
  return 1 + (length - f.page_size + (f.page_size - 8) - 1) / (f.page_size - 8);
}

void WriteTableDefinition(PageFile& file, const Blob& bytes,
                          const std::vector<std::uint32_t>& pages) {
  const Format& f = file.format();
  std::size_t at = 0;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    Blob page(f.page_size, 0);
    const std::size_t header = i == 0 ? 0 : 8;
    const std::size_t count = std::min(bytes.size() - at, f.page_size - header);
    std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(at),
              bytes.begin() + static_cast<std::ptrdiff_t>(at + count),
              page.begin() + static_cast<std::ptrdiff_t>(header));
    at += count;
    page[0] = page_type::kTableDefinition;
    page[1] = 0x01;
    const std::size_t room = f.page_size - header - count;
    if (f.jet4) {
      Put16(page, 2, static_cast<std::uint32_t>(room >= 8 ? room - 8 : 0));
    } else {
      page[2] = 'V';
      page[3] = 'C';
    }
    Put32(page, 4, i + 1 < pages.size() ? pages[i + 1] : 0);
    file.Write(pages[i], page);
  }
}

}  // namespace zc::jet
