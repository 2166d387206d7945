#include "support/jet_writer.h"

#include <bit>
#include <fstream>
#include <regex>
#include <stdexcept>

#include "support/jet_pages.h"

namespace zc::testing {
namespace {

using jet4::Bytes;
using jet4::Cell;
using jet4::ColumnDef;
using jet4::ColumnType;

constexpr std::uint32_t kMapPage = 1;      // the usage maps of every table
constexpr std::uint32_t kCatalogPage = 2;  // where readers look for the list of objects
// Two rows of the map page per table, the catalog's included, fill one page.
constexpr std::size_t kMaxTables = 27;
constexpr std::int64_t kTableObject = 1;
constexpr std::int64_t kSystemObject = -2147483648LL;  // flag 0x80000000
constexpr std::int64_t kTablesFolder = 0x0f000001;

[[noreturn]] void Unsupported(const std::string& what) {
  throw std::invalid_argument("cannot write " + what + " to a Jet 4 test file");
}

ColumnDef ColumnOf(const std::string& name, const std::string& declared) {
  if (declared == "BIT") return {name, ColumnType::kBoolean, 1};
  if (declared == "SHORT") return {name, ColumnType::kInteger, 2};
  if (declared == "LONG") return {name, ColumnType::kLong, 4};
  if (declared == "DOUBLE") return {name, ColumnType::kDouble, 8};
  static const std::regex kText(R"(TEXT\(([0-9]{1,3})\))");
  std::smatch match;
  if (std::regex_match(declared, match, kText)) {
    const int characters = std::stoi(match[1]);
    if (characters >= 1 && characters <= 255) return {name, ColumnType::kText, 2 * characters};
  }
  Unsupported("field \"" + name + "\" of type " + declared);
}

std::vector<ColumnDef> JetColumns(const JetTable& table) {
  std::vector<ColumnDef> columns;
  for (const auto& [name, declared] : table.columns) columns.push_back(ColumnOf(name, declared));
  return columns;
}

Bytes LittleEndian(std::uint64_t bits, int size) {
  Bytes bytes(size);
  for (int i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
  return bytes;
}

Bytes WholeNumber(const ColumnDef& column, const db::Value& value) {
  const std::int64_t limit = std::int64_t{1} << (8 * column.size - 1);
  if (!value.IsInteger() || value.AsInteger() < -limit || value.AsInteger() >= limit) {
    Unsupported("\"" + value.ToText() + "\" in field \"" + column.name + "\"");
  }
  return LittleEndian(static_cast<std::uint64_t>(value.AsInteger()), column.size);
}

Bytes TextBytes(const ColumnDef& column, const db::Value& value) {
  if (!value.IsText())
    Unsupported("\"" + value.ToText() + "\" in text field \"" + column.name + "\"");
  Bytes text = jet4::Utf16(value.AsText());
  // A leading FF FE marks compressed text, so readers would misread it.
  if (text.size() >= 2 && text[0] == 0xff && text[1] == 0xfe) {
    Unsupported("a text starting with U+FEFF in field \"" + column.name + "\"");
  }
  if (text.size() > static_cast<std::size_t>(column.size)) {
    Unsupported("\"" + value.AsText() + "\", longer than field \"" + column.name + "\"");
  }
  return text;
}

Cell CellOf(const ColumnDef& column, const db::Value& value) {
  if (column.type == ColumnType::kBoolean) {
    if (value.kind() != db::Value::Kind::kBoolean) {
      Unsupported("\"" + value.ToText() + "\" in Boolean field \"" + column.name + "\"");
    }
    return {value.AsBoolean(), {}};
  }
  if (value.IsNull()) return {};
  switch (column.type) {
    case ColumnType::kInteger:
    case ColumnType::kLong:
      return {true, WholeNumber(column, value)};
    case ColumnType::kDouble:
      if (value.kind() != db::Value::Kind::kNumber) {
        Unsupported("\"" + value.ToText() + "\" in field \"" + column.name + "\"");
      }
      return {true, LittleEndian(std::bit_cast<std::uint64_t>(value.AsNumber()), 8)};
    case ColumnType::kText:
      return {true, TextBytes(column, value)};
    default:
      Unsupported("a value in field \"" + column.name + "\"");
  }
}

Bytes RowBytes(const std::vector<ColumnDef>& columns, const Row& row) {
  if (row.size() != columns.size()) Unsupported("a row with a wrong number of values");
  std::vector<Cell> cells;
  for (std::size_t i = 0; i < row.size(); ++i) cells.push_back(CellOf(columns[i], row[i]));
  return jet4::EncodeRow(columns, cells);
}

// The pages of the file, and the rows of its map page, as they are filled.
struct FileBuilder {
  std::vector<Bytes> pages;
  std::vector<Bytes> maps;

  // The definition goes to page `definition`, which the caller has reserved;
  // the rows go to new pages at the end.
  void AddTable(std::uint32_t definition, const std::vector<ColumnDef>& columns,
                const std::vector<Row>& rows, bool system) {
    std::vector<Bytes> encoded;
    for (const Row& row : rows) encoded.push_back(RowBytes(columns, row));
    std::vector<Bytes> data = jet4::DataPages(encoded, definition);
    const auto first = static_cast<std::uint32_t>(pages.size());
    const auto map_row = static_cast<std::uint32_t>(maps.size());
    maps.push_back(jet4::UsageMap(first, data.size()));
    maps.push_back(jet4::UsageMap(first, 0));  // no page has room to spare
    pages[definition] =
        jet4::TableDefinitionPage({columns, static_cast<std::uint32_t>(rows.size()), system,
                                   (kMapPage << 8) | map_row, (kMapPage << 8) | (map_row + 1)});
    pages.insert(pages.end(), data.begin(), data.end());
  }
};

// The catalog holds what readers look up: a table's name, its kind, whether it
// is a system table, its definition page and its (here no) design properties.
std::vector<ColumnDef> CatalogColumns() {
  return {ColumnOf("Id", "LONG"),        ColumnOf("ParentId", "LONG"),
          ColumnOf("Name", "TEXT(128)"), ColumnOf("Type", "SHORT"),
          ColumnOf("Flags", "LONG"),     {"LvProp", ColumnType::kLongBinary, 0}};
}

Row CatalogRow(std::uint32_t definition, const std::string& name, std::int64_t flags) {
  return {I(definition), I(kTablesFolder), T(name), I(kTableObject), I(flags), Null()};
}

void Save(const std::string& path, const std::vector<Bytes>& pages) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const Bytes& page : pages) {
    out.write(reinterpret_cast<const char*>(page.data()),
              static_cast<std::streamsize>(page.size()));
  }
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WriteJet4File(const std::string& path, const std::vector<JetTable>& tables) {
  if (tables.size() > kMaxTables) Unsupported("more than 27 tables");
  FileBuilder file;
  file.pages.resize(kCatalogPage + 1);
  file.pages[0] = jet4::HeaderPage();
  std::vector<Row> catalog = {CatalogRow(kCatalogPage, "MSysObjects", kSystemObject)};
  for (const JetTable& table : tables) {
    const auto definition = static_cast<std::uint32_t>(file.pages.size());
    file.pages.emplace_back();
    catalog.push_back(CatalogRow(definition, table.name, 0));
    file.AddTable(definition, JetColumns(table), table.rows, false);
  }
  file.AddTable(kCatalogPage, CatalogColumns(), catalog, true);
  // Page 1 holds every usage map; kMaxTables keeps them to one page.
  file.pages[kMapPage] = jet4::DataPages(file.maps, 0).at(0);
  Save(path, file.pages);
}

}  // namespace zc::testing
