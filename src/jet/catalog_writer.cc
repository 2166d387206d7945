#include "jet/catalog_writer.h"

#include <algorithm>
#include <bit>
#include <ctime>

#include "jet/cell_encoder.h"
#include "jet/data_page.h"
#include "jet/index.h"
#include "jet/index_page.h"
#include "jet/long_value.h"
#include "jet/rows.h"
#include "jet/scan.h"
#include "jet/usage_map.h"

namespace zc::jet {
namespace {

constexpr std::int32_t kContainerType = 3;
constexpr std::uint8_t kUniqueIndex = 0x01;

// Now, as Access keeps times: the local date and time as a Jet day count.
double Now() {
  const std::time_t now = std::time(nullptr);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  return DateDays(text);
}

void MarkDeleted(PageFile& file, RowId where) {
  Blob page = file.Read(where.page);
  MarkRowDeleted(file.format(), page, where.row);
  file.Write(where.page, page);
}

// A data page of `table` with room for `size` bytes, made when none has.
std::uint32_t PageWithRoom(PageFile& file, PageAllocator& pages, const TableDefinition& table,
                           std::size_t size) {
  const Format& f = file.format();
  std::vector<std::uint32_t> owned = ReadUsageMap(file, table.owned_map).pages;
  for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
    const Blob page = file.Read(*it);
    if (page[0] == page_type::kData && Get32(page, f.data_owner_at) == table.page() &&
        RowFits(f, page, size)) {
      return *it;
    }
  }
  const std::uint32_t number = pages.Allocate();
  file.Write(number, NewDataPage(f, table.page()));
  owned.push_back(number);
  RewriteUsageMap(file, pages, table.owned_map, owned);
  std::vector<std::uint32_t> with_room = ReadUsageMap(file, table.free_map).pages;
  with_room.push_back(number);
  RewriteUsageMap(file, pages, table.free_map, with_room);
  return number;
}

Blob EntryKey(const TableDefinition& table, const RealIndex& index,
              const std::vector<Value>& values, bool jet4) {
  Blob key;
  for (std::size_t k = 0; k < index.columns.size(); ++k) {
    std::size_t at = 0;
    while (at < table.columns.size() && table.columns[at].number != index.columns[k]) ++at;
    if (at == table.columns.size()) Damaged("an index on a column that does not exist");
    const Column& column = table.columns[at];
    const bool ascending = index.orders[k] == 1;
    Blob part;
    if (column.type == column_type::kLong && std::holds_alternative<std::int64_t>(values[at])) {
      part = IndexKeyLong(static_cast<std::int32_t>(std::get<std::int64_t>(values[at])), ascending);
    } else if (column.type == column_type::kText &&
               std::holds_alternative<std::string>(values[at])) {
      part = IndexKeyText(std::get<std::string>(values[at]), jet4, ascending);
    } else {
      Unsupported("its catalog has an index over a column of a kind this program cannot extend; " +
                  std::string(kCreateOnceInAccess));
    }
    key.insert(key.end(), part.begin(), part.end());
  }
  return key;
}

// The row `values` make in a system table, with its index keys. A value its
// column cannot hold means a damaged definition: the values are the writer's.
SystemRow MakeSystemRow(const Format& f, const TableDefinition& table,
                        const std::vector<Value>& values) {
  CheckRowLayout(f, table);
  SystemRow made{table, {}, {}};
  try {
    std::vector<Blob> bytes(values.size());
    std::vector<Cell> cells(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      const Column& column = table.columns[i];
      if (column.type == column_type::kBoolean) {
        cells[i].present = BooleanOf(values[i]);
      } else if (!std::holds_alternative<std::monostate>(values[i])) {
        bytes[i] = EncodeCell(column, values[i], f.jet4);
        cells[i] = {true, bytes[i]};
      }
    }
    made.bytes = BuildRow(f, table, cells);
  } catch (const Error& error) {
    if (error.kind != ErrorKind::kDoesNotFit) throw;
    Damaged(std::string("a system table that cannot hold a new row: ") + error.what());
  }
  for (const RealIndex& index : table.real_indexes)
    made.keys.push_back(EntryKey(table, index, values, f.jet4));
  return made;
}

// Adds a row to a system table, with its entries in every index of it.
void AddSystemRow(PageFile& file, PageAllocator& pages, const SystemRow& added) {
  const Format& f = file.format();
  const TableDefinition& table = added.table;
  const std::uint32_t number = PageWithRoom(file, pages, table, added.bytes.size());
  Blob page = file.Read(number);
  const RowId where{number, AddRow(f, page, added.bytes)};
  file.Write(number, page);
  Blob first = file.Read(table.page());
  Put32(first, f.tdef_rows_at, Get32(first, f.tdef_rows_at) + 1);
  for (std::size_t i = 0; i < table.real_indexes.size(); ++i) {
    const RealIndex& index = table.real_indexes[i];
    const bool new_key = InsertIndexEntry(file, pages, table.page(), index, added.keys[i], where,
                                          (index.flags & kUniqueIndex) != 0);
    if (new_key && index.unique_count_at + 4 <= f.page_size) {
      Put32(first, index.unique_count_at, Get32(first, index.unique_count_at) + 1);
    }
  }
  file.Write(table.page(), first);
}

Value CellValue(const Column& column, const Cell& cell) {
  if (column.type == column_type::kBoolean) return std::int64_t{cell.present ? -1 : 0};
  if (!cell.present) return std::monostate{};
  if (column.type == column_type::kLong)
    return std::int64_t{static_cast<std::int32_t>(Get32(cell.bytes, 0))};
  return Blob(cell.bytes.begin(), cell.bytes.end());
}

const CatalogEntry* Find(const std::vector<CatalogEntry>& entries, const std::string& name,
                         std::int32_t type) {
  for (const CatalogEntry& entry : entries) {
    if (entry.type == type && entry.name == name) return &entry;
  }
  return nullptr;
}

// The access rights of the new table: those of a sibling table, else those
// the container of all tables hands down.
void AddAccessRights(PageFile& file, const std::vector<CatalogEntry>& entries, std::int32_t model,
                     bool from_container, std::uint32_t definition_page,
                     std::vector<SystemRow>& rows) {
  const CatalogEntry* aces_entry = Find(entries, "MSysACEs", object_type::kTable);
  if (aces_entry == nullptr) return;  // a file kept without access rights
  const TableDefinition aces = ReadTableDefinition(file, aces_entry->DefinitionPage());
  const std::size_t object = Position(aces, "ObjectId", column_type::kLong),
                    inheritable = Position(aces, "FInheritable", column_type::kBoolean);
  ScanRows(file, aces, [&](RowId, Bytes bytes) {
    const std::vector<Cell> cells = SplitRow(file.format(), aces, bytes);
    if (!cells[object].present || static_cast<std::int32_t>(Get32(cells[object].bytes, 0)) != model)
      return;
    std::vector<Value> values;
    for (std::size_t i = 0; i < cells.size(); ++i)
      values.push_back(CellValue(aces.columns[i], cells[i]));
    values[object] = std::int64_t{definition_page};
    if (from_container) values[inheritable] = std::int64_t{0};
    rows.push_back(MakeSystemRow(file.format(), aces, values));
  });
}

}  // namespace

void RenewCatalogEntry(PageFile& file, const CatalogEntry& entry) {
  const Format& f = file.format();
  const TableDefinition catalog = ReadTableDefinition(file, kCatalogPage);
  RowSpan span;
  Blob row = RowBytes(f, file.Read(entry.row.page), entry.row.row, &span);
  if (span.overflow) return;  // rare; its old time and properties stay
  std::vector<Cell> cells = SplitRow(f, catalog, row);
  const std::size_t update = Position(catalog, "DateUpdate", column_type::kDate),
                    properties = Position(catalog, "LvProp", column_type::kLongBinary);
  Blob now(8);
  Put64(now, 0, std::bit_cast<std::uint64_t>(Now()));
  cells[update] = {true, now};
  // Worked out whole before anything is written: the entry either changes
  // with its properties' parts, or neither changes.
  const std::vector<RowId> parts = cells[properties].present
                                       ? LongValueRows(file, cells[properties].bytes)
                                       : std::vector<RowId>{};
  cells[properties] = {};
  const Blob renewed = BuildRow(f, catalog, cells, span.size());
  if (renewed.size() != span.size()) return;
  for (RowId part : parts) MarkDeleted(file, part);
  Blob page = file.Read(entry.row.page);
  PutBytes(page, span.start, renewed);
  file.Write(entry.row.page, page);
}

std::vector<SystemRow> NewCatalogRows(PageFile& file, const std::string& name,
                                      std::uint32_t definition_page) {
  const TableDefinition catalog = ReadTableDefinition(file, kCatalogPage);
  const std::vector<CatalogEntry> entries = ReadCatalog(file, catalog);
  const CatalogEntry* container = Find(entries, "Tables", kContainerType);
  if (container == nullptr) Damaged("a catalog without its container of tables");
  const CatalogEntry* sibling = nullptr;
  for (const CatalogEntry& entry : entries) {
    if (entry.parent_id != container->id) continue;
    if (SameName(entry.name, name))
      Unsupported("it already holds an object named \"" + name +
                  "\" that is no table of its own (a query or a linked table); rename or delete "
                  "that object in Access");
    if (entry.IsUserTable() && sibling == nullptr) sibling = &entry;
  }
  const CatalogEntry& model = sibling ? *sibling : *container;
  const Blob model_row = RowBytes(file.format(), file.Read(model.row.page), model.row.row);
  const std::vector<Cell> model_cells = SplitRow(file.format(), catalog, model_row);
  std::vector<Value> values(catalog.columns.size());
  const double now = Now();
  values[Position(catalog, "Id", column_type::kLong)] = std::int64_t{definition_page};
  values[Position(catalog, "ParentId", column_type::kLong)] = std::int64_t{container->id};
  values[Position(catalog, "Name", column_type::kText)] = name;
  values[Position(catalog, "Type", column_type::kInteger)] = std::int64_t{object_type::kTable};
  values[Position(catalog, "DateCreate", column_type::kDate)] = now;
  values[Position(catalog, "DateUpdate", column_type::kDate)] = now;
  values[Position(catalog, "Flags", column_type::kLong)] = std::int64_t{0};
  const std::size_t owner = Position(catalog, "Owner", column_type::kBinary);
  values[owner] = CellValue(catalog.columns[owner], model_cells[owner]);
  std::vector<SystemRow> rows = {MakeSystemRow(file.format(), catalog, values)};
  AddAccessRights(file, entries, model.id, sibling == nullptr, definition_page, rows);
  return rows;
}

void AddSystemRows(PageFile& file, PageAllocator& pages, const std::vector<SystemRow>& rows) {
  for (const SystemRow& row : rows) AddSystemRow(file, pages, row);
}

bool CatalogIndexFinds(PageFile& file, const std::string& name) {
  const TableDefinition catalog = ReadTableDefinition(file, kCatalogPage);
  const std::vector<CatalogEntry> entries = ReadCatalog(file, catalog);
  const auto table = std::find_if(entries.begin(), entries.end(), [&](const CatalogEntry& entry) {
    return entry.IsUserTable() && SameName(entry.name, name);
  });
  if (table == entries.end()) return false;
  std::vector<Value> values(catalog.columns.size());
  const std::size_t parent = Position(catalog, "ParentId", column_type::kLong),
                    named = Position(catalog, "Name", column_type::kText);
  values[parent] = std::int64_t{table->parent_id};
  values[named] = table->name;
  const std::vector<std::uint16_t> columns{catalog.columns[parent].number,
                                           catalog.columns[named].number};
  for (const RealIndex& index : catalog.real_indexes) {
    if (index.columns != columns) continue;
    const Blob key = EntryKey(catalog, index, values, file.format().jet4);
    return FindIndexEntry(file, kCatalogPage, index.root, key) == table->row;
  }
  return true;
}

}  // namespace zc::jet
