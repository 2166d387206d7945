#include "presets/db/jet_reader.h"

// The library's header needs glib's declarations first when read as C++.
#include <glib.h>
#include <mdbtools.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace zc::jet {
namespace {

constexpr int kOffsetMask = 0x1fff;  // a row offset without its flag bits
constexpr std::size_t kLongValueHeader = 12;
constexpr unsigned long kCatalogPage = 2;  // where the table of all objects starts

[[noreturn]] void Damaged(const std::string& what) {
  throw std::runtime_error("the file is damaged or incomplete (" + what + ")");
}

std::uint32_t Word(Bytes bytes, std::size_t at) {
  return static_cast<std::uint32_t>(ReadInt32(bytes.subspan(at)));
}

constexpr std::pair<int, FieldType> kJetTypes[] = {
    {MDB_BOOL, FieldType::kBoolean},   {MDB_BYTE, FieldType::kByte},
    {MDB_INT, FieldType::kInteger},    {MDB_LONGINT, FieldType::kLong},
    {MDB_MONEY, FieldType::kCurrency}, {MDB_FLOAT, FieldType::kSingle},
    {MDB_DOUBLE, FieldType::kDouble},  {MDB_DATETIME, FieldType::kDate},
    {MDB_BINARY, FieldType::kBinary},  {MDB_TEXT, FieldType::kText},
    {MDB_OLE, FieldType::kLongBinary}, {MDB_MEMO, FieldType::kMemo},
    {MDB_REPID, FieldType::kGuid},     {MDB_NUMERIC, FieldType::kDecimal},
};

FieldType TypeOf(const MdbColumn& column) {
  if (column.col_type == MDB_LONGINT && column.is_long_auto) return FieldType::kCounter;
  for (const auto& [code, type] : kJetTypes) {
    if (code == column.col_type) return type;
  }
  throw std::runtime_error("field \"" + std::string(column.name) +
                           "\" has a data type this program cannot read (code " +
                           std::to_string(column.col_type) + ")");
}

Field FieldOf(const MdbColumn& column, bool jet4) {
  Field field{column.name, TypeOf(column), column.col_size};
  // Jet 4 keeps text as UTF-16 and records its size in bytes.
  if (field.type == FieldType::kText && jet4) field.size /= 2;
  // libmdb 1.0 has precision and scale the wrong way round; as the scale never
  // exceeds the precision, the larger one is the precision in any version.
  field.precision = std::max(column.col_prec, column.col_scale);
  field.scale = std::min(column.col_prec, column.col_scale);
  return field;
}

// A table definition read from the file, freed with it.
using TableDef = std::unique_ptr<MdbTableDef, decltype(&mdb_free_tabledef)>;

TableDef OpenTable(MdbCatalogEntry* entry) {
  TableDef table(mdb_read_table(entry), &mdb_free_tabledef);
  // Without its map of used pages the library's row scan reads through a null pointer.
  if (!table || table->usage_map == nullptr || table->map_sz == 0 ||
      !mdb_read_columns(table.get())) {
    Damaged("the definition of table \"" + std::string(entry->object_name) + "\"");
  }
  return table;
}

// The library ends a scan quietly at a page it cannot read, so a table must
// give exactly the rows its definition records.
void CheckRowCount(std::int64_t rows, std::int64_t recorded, const std::string& name) {
  if (rows != recorded) {
    Damaged("table \"" + name + "\" gave " + std::to_string(rows) + " of its " +
            std::to_string(recorded) + " rows");
  }
}

// One row of a long-value (LVAL) page, copied out of the library's page buffer.
Blob LongValueRow(MdbHandle* mdb, std::uint32_t page_row) {
  void* page = nullptr;
  int offset = 0;
  size_t length = 0;
  if (mdb_find_pg_row(mdb, static_cast<int>(page_row), &page, &offset, &length) != 0) {
    Damaged("a memo or OLE value points to a missing page");
  }
  offset &= kOffsetMask;
  if (offset + length > static_cast<size_t>(mdb->fmt->pg_size)) Damaged("a memo or OLE value");
  const auto* start = static_cast<const std::uint8_t*>(page) + offset;
  return Blob(start, start + length);
}

// The whole of a memo or OLE value: kept in the row itself, in one row of a
// long-value page, or in a chain of such rows.
Blob LongValue(MdbHandle* mdb, Bytes field) {
  if (field.size() < kLongValueHeader) return {};
  const std::uint32_t head = Word(field, 0);
  const std::size_t length = head & 0x3fffffff;
  Blob data;
  if (head & 0x80000000) {
    data.assign(field.begin() + kLongValueHeader, field.end());
  } else if (head & 0x40000000) {
    data = LongValueRow(mdb, Word(field, 4));
  } else {
    for (std::uint32_t next = Word(field, 4); data.size() < length;) {
      if (next == 0) break;
      Blob row = LongValueRow(mdb, next);
      if (row.size() <= 4) Damaged("an empty part of a memo or OLE value");
      next = Word(row, 0);
      data.insert(data.end(), row.begin() + 4, row.end());
    }
  }
  if (data.size() < length) Damaged("a memo or OLE value is shorter than recorded");
  data.resize(length);
  return data;
}

Value DecodeValue(MdbHandle* mdb, const Field& field, Bytes bytes, bool jet4) {
  switch (field.type) {
    case FieldType::kBoolean:
      break;  // kept in the null bitmap
    case FieldType::kByte:
      if (bytes.empty()) throw std::runtime_error("field value too short");
      return std::int64_t{bytes[0]};
    case FieldType::kInteger:
      return ReadInt16(bytes);
    case FieldType::kLong:
    case FieldType::kCounter:
      return ReadInt32(bytes);
    case FieldType::kCurrency:
      return ReadCurrency(bytes);
    case FieldType::kSingle:
      return ReadSingle(bytes);
    case FieldType::kDouble:
      return ReadDouble(bytes);
    case FieldType::kDate:
      return DateText(ReadDouble(bytes));
    case FieldType::kText:
      return DecodeText(bytes, jet4);
    case FieldType::kBinary:
      return Blob(bytes.begin(), bytes.end());
    case FieldType::kLongBinary:
      return LongValue(mdb, bytes);
    case FieldType::kMemo:
      return DecodeText(LongValue(mdb, bytes), jet4);
    case FieldType::kGuid:
      return ReadGuid(bytes);
    case FieldType::kDecimal:
      return ReadDecimal(bytes, field.scale);
  }
  return std::monostate{};
}

}  // namespace

FileKind KindOfFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char head[0x15] = {};
  if (!in.read(head, sizeof head)) return FileKind::kOther;
  const std::string_view magic(head + 4, 15);
  if (magic == "Standard ACE DB") return FileKind::kAce;
  if (magic != "Standard Jet DB") return FileKind::kOther;
  switch (head[0x14]) {
    case MDB_VER_JET3:
      return FileKind::kJet3;
    case MDB_VER_JET4:
      return FileKind::kJet4;
    default:
      return FileKind::kAce;  // a later engine writing the old signature
  }
}

std::string DeclaredType(const Field& field) {
  // In the order of FieldType.
  static constexpr const char* kNames[] = {
      "BIT",      "BYTE", "SHORT",      "LONG",       "COUNTER",  "CURRENCY", "SINGLE", "DOUBLE",
      "DATETIME", "TEXT", "LONGBINARY", "LONGBINARY", "LONGTEXT", "GUID",     "DECIMAL"};
  static_assert(std::size(kNames) == static_cast<std::size_t>(FieldType::kDecimal) + 1);
  if (field.type == FieldType::kText) {
    return "TEXT(" + std::to_string(std::clamp(field.size, 1, 255)) + ")";
  }
  if (field.type == FieldType::kDecimal) {
    return "DECIMAL(" + std::to_string(field.precision) + "," + std::to_string(field.scale) + ")";
  }
  return kNames[static_cast<std::size_t>(field.type)];
}

struct Reader::State {
  MdbHandle* mdb = nullptr;
  bool jet4 = false;
  std::vector<Table> tables;
  std::vector<std::unique_ptr<MdbCatalogEntry>> entries;  // one per table

  ~State() {
    if (mdb != nullptr) mdb_close(mdb);
  }
  void Open(const std::string& path);
  void ReadCatalog();
  void ListTables();
  std::vector<Field> FieldsOf(MdbTableDef* table) const;
  std::vector<MdbField> Cells(MdbTableDef* table);
  std::vector<Value> Row(MdbTableDef* table, const std::vector<Field>& fields);
  Value CellValue(const MdbField& cell, const Field& field);

  std::vector<std::unique_ptr<MdbCatalogEntry>> catalog;  // the file's objects, in stored order
};

void Reader::State::Open(const std::string& path) {
  const FileKind kind = KindOfFile(path);
  if (kind == FileKind::kAce) {
    throw std::runtime_error(
        "it is an Access 2007 or later (.accdb format) database; save it in the Access 2000 "
        "(.mdb) format first");
  }
  if (kind == FileKind::kOther) throw std::runtime_error("it is not an Access (Jet) database");
  jet4 = kind == FileKind::kJet4;
  // A file cut short is seen here before the library reads past its end.
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  const std::uintmax_t page = jet4 ? 4096 : 2048;
  if (error || size % page != 0 || size < 3 * page) Damaged("its length is not whole pages");
  mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
  if (mdb == nullptr) Damaged("the Jet library cannot open it");
}

// The file's objects, read from its catalog table like any other table. The
// library's own catalog reader also parses every object's properties, which
// no table needs: damaged properties make that parse loop without end or
// run out of memory.
void Reader::State::ReadCatalog() {
  MdbCatalogEntry self{};
  self.mdb = mdb;
  self.object_type = MDB_TABLE;
  self.table_pg = kCatalogPage;
  std::strcpy(self.object_name, "MSysObjects");
  TableDef definition = OpenTable(&self);
  const std::vector<Field> fields = FieldsOf(definition.get());
  auto position = [&](const char* name) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (fields[i].name == name) return i;
    }
    Damaged("its list of tables");
  };
  const std::size_t id = position("Id"), name = position("Name"), type = position("Type"),
                    flags = position("Flags");
  mdb_rewind_table(definition.get());
  std::int64_t rows = 0;
  for (; mdb_fetch_row(definition.get()); ++rows) {
    std::vector<MdbField> cells = Cells(definition.get());
    auto entry = std::make_unique<MdbCatalogEntry>();
    entry->mdb = mdb;
    const Value object_name = CellValue(cells[name], fields[name]);
    const auto* text = std::get_if<std::string>(&object_name);
    if (text == nullptr || text->size() > MDB_MAX_OBJ_NAME) continue;
    std::strcpy(entry->object_name, text->c_str());
    auto number = [&](std::size_t at) {
      const Value value = CellValue(cells[at], fields[at]);
      const auto* integer = std::get_if<std::int64_t>(&value);
      return integer == nullptr ? -1 : *integer;
    };
    entry->object_type = static_cast<int>(number(type));
    entry->table_pg = static_cast<unsigned long>(number(id) & 0x00FFFFFF);
    entry->flags = static_cast<int>(number(flags));
    catalog.push_back(std::move(entry));
  }
  // A catalog cut short would silently leave tables out.
  CheckRowCount(rows, definition->num_rows, self.object_name);
}

void Reader::State::ListTables() {
  ReadCatalog();
  bool catalog_listed = false;
  for (std::unique_ptr<MdbCatalogEntry>& entry : catalog) {
    if (entry->object_type != MDB_TABLE) continue;
    catalog_listed |= entry->table_pg == kCatalogPage;
    if (!mdb_is_user_table(entry.get())) continue;
    TableDef definition = OpenTable(entry.get());
    tables.push_back({entry->object_name, FieldsOf(definition.get()), definition->num_rows});
    entries.push_back(std::move(entry));
  }
  if (!catalog_listed) Damaged("its list of tables");
}

std::vector<Field> Reader::State::FieldsOf(MdbTableDef* table) const {
  std::vector<Field> fields;
  for (unsigned c = 0; c < table->num_cols; ++c) {
    fields.push_back(FieldOf(*static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c)), jet4));
  }
  return fields;
}

// Cracks the row just fetched again to reach its null bitmap, which the
// library's bound values do not show.
std::vector<MdbField> Reader::State::Cells(MdbTableDef* table) {
  int start = 0;
  size_t length = 0;
  std::vector<MdbField> cells(table->num_cols);
  if (mdb_find_row(mdb, static_cast<int>(table->cur_row) - 1, &start, &length) != 0 ||
      mdb_crack_row(table, start & kOffsetMask, length, cells.data()) < 0) {
    Damaged("a row of table \"" + std::string(table->name) + "\"");
  }
  return cells;
}

std::vector<Value> Reader::State::Row(MdbTableDef* table, const std::vector<Field>& fields) {
  std::vector<MdbField> cells = Cells(table);
  std::vector<Value> values;
  values.reserve(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    try {
      values.push_back(CellValue(cells[i], fields[i]));
    } catch (const std::runtime_error& error) {
      throw std::runtime_error(std::string(error.what()) + " in field \"" + fields[i].name +
                               "\" of table \"" + table->name + "\"");
    }
  }
  return values;
}

Value Reader::State::CellValue(const MdbField& cell, const Field& field) {
  // A Boolean has no bytes: its bit in the null bitmap is its value.
  if (field.type == FieldType::kBoolean) return std::int64_t{cell.is_null ? 0 : -1};
  if (cell.is_null) return std::monostate{};
  if (cell.siz < 0 || cell.start < 0 || cell.start + cell.siz > mdb->fmt->pg_size) {
    Damaged("a value reaches beyond its page");
  }
  return DecodeValue(mdb, field,
                     Bytes(mdb->pg_buf + cell.start, static_cast<std::size_t>(cell.siz)), jet4);
}

Reader::Reader(const std::string& path) : state_(std::make_unique<State>()) {
  state_->Open(path);
  state_->ListTables();
}

Reader::~Reader() = default;

bool Reader::jet4() const { return state_->jet4; }

const std::vector<Table>& Reader::tables() const { return state_->tables; }

void Reader::ReadRows(std::size_t index, const RowHandler& on_row) {
  const Table& table = state_->tables.at(index);
  TableDef definition = OpenTable(state_->entries.at(index).get());
  mdb_rewind_table(definition.get());
  std::int64_t rows = 0;
  while (mdb_fetch_row(definition.get())) {
    on_row(state_->Row(definition.get(), table.fields));
    ++rows;
  }
  CheckRowCount(rows, table.row_count, table.name);
}

}  // namespace zc::jet
