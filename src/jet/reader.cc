#include "jet/reader.h"

#include "jet/catalog.h"
#include "jet/long_value.h"
#include "jet/page_file.h"
#include "jet/rows.h"
#include "jet/scan.h"
#include "jet/table_definition.h"
#include "jet/text.h"

namespace zc::jet {
namespace {

Field FieldOf(const Column& column, bool jet4) {
  Field field{column.name, DataType::kLong, column.length, 0, 0};
  const TypeFacts* facts = FactsOfCode(column.type);
  if (facts != nullptr) field.type = facts->type;
  if (facts == nullptr) {
    Unsupported("field \"" + column.name + "\" has a data type this program cannot read (code " +
                std::to_string(column.type) + ")");
  }
  if (field.type == DataType::kLong && (column.flags & column_flag::kAutoNumber)) {
    field.type = DataType::kCounter;
  }
  // Jet 4 keeps text as UTF-16 and records its size in bytes.
  if (field.type == DataType::kText && jet4) field.size /= 2;
  if (field.type == DataType::kDecimal) {
    field.precision = column.precision;
    field.scale = column.scale;
  }
  return field;
}

Value DecodeValue(PageFile& file, const Field& field, const Cell& cell) {
  const bool jet4 = file.format().jet4;
  // A Boolean has no bytes: its bit in the null mask is its value.
  if (field.type == DataType::kBoolean) return std::int64_t{cell.present ? -1 : 0};
  if (!cell.present) return std::monostate{};
  const Bytes bytes = cell.bytes;
  switch (field.type) {
    case DataType::kByte:
      return std::int64_t{Get8(bytes, 0)};
    case DataType::kInteger:
      return ReadInt16(bytes);
    case DataType::kLong:
    case DataType::kCounter:
      return ReadInt32(bytes);
    case DataType::kCurrency:
      return ReadCurrency(bytes);
    case DataType::kSingle:
      return ReadSingle(bytes);
    case DataType::kDouble:
      return ReadDouble(bytes);
    case DataType::kDate:
      return DateText(ReadDouble(bytes));
    case DataType::kText:
      return DecodeText(bytes, jet4);
    case DataType::kBinary:
      return Blob(bytes.begin(), bytes.end());
    case DataType::kLongBinary:
      return ReadLongValue(file, bytes);
    case DataType::kMemo:
      return DecodeText(ReadLongValue(file, bytes), jet4);
    case DataType::kGuid:
      return ReadGuid(bytes);
    case DataType::kDecimal:
      return ReadDecimal(bytes, field.scale);
    case DataType::kBoolean:
      break;
  }
  return std::monostate{};
}

// As DecodeValue, into `out`: a text reuses the storage of the one before.
void DecodeInto(PageFile& file, const Field& field, const Cell& cell, Value& out) {
  if (field.type != DataType::kText || !cell.present) {
    out = DecodeValue(file, field, cell);
    return;
  }
  auto* text = std::get_if<std::string>(&out);
  DecodeText(cell.bytes, file.format().jet4, text ? *text : out.emplace<std::string>());
}

}  // namespace

struct Reader::State {
  explicit State(const std::string& path) : file(path, false) {}
  PageFile file;
  std::vector<Table> tables;
  std::vector<TableDefinition> definitions;  // one per table
};

Reader::Reader(const std::string& path) : state_(std::make_unique<State>(path)) {
  PageFile& file = state_->file;
  const TableDefinition catalog = ReadTableDefinition(file, kCatalogPage);
  bool catalog_listed = false;
  for (const CatalogEntry& entry : ReadCatalog(file, catalog)) {
    catalog_listed |= entry.type == object_type::kTable && entry.DefinitionPage() == kCatalogPage;
    if (!entry.IsUserTable()) continue;
    TableDefinition definition = ReadTableDefinition(file, entry.DefinitionPage());
    Table table{entry.name, {}, definition.row_count};
    for (const Column& column : definition.columns) {
      table.fields.push_back(FieldOf(column, file.format().jet4));
    }
    state_->tables.push_back(std::move(table));
    state_->definitions.push_back(std::move(definition));
  }
  if (!catalog_listed) Damaged("its list of tables");
}

Reader::~Reader() = default;

bool Reader::jet4() const { return state_->file.format().jet4; }

const std::vector<Table>& Reader::tables() const { return state_->tables; }

void Reader::ReadRows(std::size_t index, const RowHandler& on_row) {
  const Table& table = state_->tables.at(index);
  std::vector<Value> values(table.fields.size());
  WalkRows(index, [&](const std::vector<Cell>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      try {
        DecodeInto(state_->file, table.fields[i], cells[i], values[i]);
      } catch (const Error& error) {
        throw Error(ErrorKind::kDamaged, std::string(error.what()) + " in field \"" +
                                             table.fields[i].name + "\" of table \"" + table.name +
                                             "\"");
      }
    }
    on_row(values);
  });
}

void Reader::CheckRows(std::size_t index) {
  WalkRows(index, [](const std::vector<Cell>&) {});
}

void Reader::WalkRows(std::size_t index,
                      const std::function<void(const std::vector<Cell>&)>& visit) {
  const Table& table = state_->tables.at(index);
  const TableDefinition& definition = state_->definitions.at(index);
  PageFile& file = state_->file;
  std::int64_t rows = 0;
  std::vector<Cell> cells;
  ScanRows(file, definition, [&](RowId, Bytes bytes) {
    SplitRowInto(file.format(), definition, bytes, cells);
    visit(cells);
    ++rows;
  });
  if (rows != table.row_count) {
    Damaged("table \"" + table.name + "\" gave " + std::to_string(rows) + " of its " +
            std::to_string(table.row_count) + " rows");
  }
}

}  // namespace zc::jet
