#include "jet/writer.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <span>
#include <stdexcept>

#include "jet/allocator.h"
#include "jet/catalog.h"
#include "jet/catalog_writer.h"
#include "jet/page_file.h"
#include "jet/reader.h"
#include "jet/rows.h"
#include "jet/table_layout.h"
#include "jet/table_release.h"
#include "jet/table_writer.h"
#include "platform/platform.h"

namespace zc::jet {
namespace {

void WriteRows(TableWriter& writer, const RowSource& rows) {
  std::vector<Value> row;
  for (std::int64_t number = 1; rows(row); ++number) {
    try {
      writer.AddRow(row);
    } catch (const Error& error) {
      if (error.kind != ErrorKind::kDoesNotFit) throw;
      DoesNotFit("row " + std::to_string(number) + ", " + error.what());
    }
  }
}

struct Written {
  std::uintmax_t length;  // of the file, in bytes, from now on
  std::uint32_t rows;
};

// Everything the file's definitions must hold is checked before the first
// byte is written: the new table's layout, the catalog's row and the pages
// still in use.
Written WriteTable(const std::string& path, const std::string& name,
                   const std::vector<Field>& fields, const RowSource& rows) {
  PageFile file(path, true);
  TableDefinition layout = LayOutTable(file.format(), fields);
  const TableDefinition catalog = ReadTableDefinition(file, kCatalogPage);
  CheckRowLayout(file.format(), catalog);  // it takes or renews the table's entry
  const std::vector<CatalogEntry> entries = ReadCatalog(file, catalog);
  const CatalogEntry* existing = nullptr;
  for (const CatalogEntry& entry : entries) {
    if (entry.IsUserTable() && SameName(entry.name, name)) existing = &entry;
  }
  std::set<std::uint32_t> in_use = PagesInUse(file, entries, existing);
  if (existing != nullptr && in_use.count(existing->DefinitionPage())) {
    Damaged("a table defined on the page of another");
  }
  PageAllocator pages(file, std::move(in_use));
  std::uint32_t first_page = 0;
  std::vector<SystemRow> catalog_rows;
  if (existing != nullptr) {
    const TableDefinition old = ReadTableDefinition(file, existing->DefinitionPage());
    RenewCatalogEntry(file, *existing);
    ReleaseTable(file, pages, old);
    first_page = old.page();
  } else {
    first_page = pages.Allocate();
    catalog_rows = NewCatalogRows(file, name, first_page);
  }
  TableWriter writer(file, pages, std::move(layout), first_page);
  WriteRows(writer, rows);
  const std::uint32_t written = writer.Finish().row_count;
  AddSystemRows(file, pages, catalog_rows);
  const std::uint32_t kept = pages.Save();
  return {static_cast<std::uintmax_t>(kept) * file.format().page_size, written};
}

bool SameField(const Field& read, const Field& written) {
  return read.name == written.name && read.type == written.type &&
         (read.type != DataType::kText || read.size == written.size);
}

// The file read back as the reader reads it, down to the structures the
// writer made but not every value, so that the cost stays small beside the
// write: the catalog and every table's definition, the new table's entry and
// fields, the way to it through the catalog's index, and every table's rows
// as its page map and row addresses give them.
void CheckReadsBack(const std::string& path, const std::string& name,
                    const std::vector<Field>& fields, std::uint32_t rows) {
  try {
    Reader reader(path);
    int found = 0;
    for (std::size_t i = 0; i < reader.tables().size(); ++i) {
      const Table& table = reader.tables()[i];
      const bool as_written =
          table.row_count == rows && table.fields.size() == fields.size() &&
          std::equal(table.fields.begin(), table.fields.end(), fields.begin(), SameField);
      if (SameName(table.name, name)) found += as_written ? 1 : 2;
      reader.CheckRows(i);
    }
    if (found != 1) Damaged("table \"" + name + "\" as it was written");
    PageFile file(path, false);
    if (!CatalogIndexFinds(file, name)) Damaged("a catalog index that misses \"" + name + "\"");
  } catch (const Error& error) {
    throw Error(error.kind, std::string(error.what()) + ", found reading back what was written");
  }
}

}  // namespace

void ReplaceTable(const std::string& path, const std::string& name,
                  const std::vector<Field>& fields, const RowSource& rows) {
  const Written written = WriteTable(path, name, fields, rows);
  std::error_code error;
  const std::filesystem::path native = platform::NativePath(path);
  if (std::filesystem::file_size(native, error) > written.length) {
    std::filesystem::resize_file(native, written.length, error);
  }
  if (error) throw Error(ErrorKind::kIo, "it cannot be written: " + error.message());
  CheckReadsBack(path, name, fields, written.rows);
}

}  // namespace zc::jet
