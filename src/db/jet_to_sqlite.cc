#include "db/jet_to_sqlite.h"

#include <sqlite3.h>

#include "db/jet_types.h"
#include "db/quoting.h"
#include "db/row_pipe.h"
#include "db/sqlite_file.h"

namespace zc::db {
namespace {

std::string CreateTableSql(const jet::Table& table) {
  std::string sql = "CREATE TABLE " + DoubleQuoted(table.name) + " (";
  for (std::size_t i = 0; i < table.fields.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += DoubleQuoted(table.fields[i].name) + " " + DeclaredType(table.fields[i]);
  }
  return sql + ")";
}

std::string InsertSql(const jet::Table& table) {
  std::string sql = "INSERT INTO " + DoubleQuoted(table.name) + " VALUES (";
  for (std::size_t i = 0; i < table.fields.size(); ++i) sql += i > 0 ? ", ?" : "?";
  return sql + ")";
}

// The values outlive the statement's step, so SQLite need not copy them.
int Bind(sqlite3_stmt* statement, int index, const jet::Value& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) {
    return sqlite3_bind_int64(statement, index, *number);
  }
  if (const auto* real = std::get_if<double>(&value)) {
    return sqlite3_bind_double(statement, index, *real);
  }
  if (const auto* text = std::get_if<std::string>(&value)) {
    return sqlite3_bind_text64(statement, index, text->data(), text->size(), SQLITE_STATIC,
                               SQLITE_UTF8);
  }
  if (const auto* blob = std::get_if<jet::Blob>(&value)) {
    // A zero-length blob still has to differ from Null.
    return blob->empty()
               ? sqlite3_bind_zeroblob(statement, index, 0)
               : sqlite3_bind_blob64(statement, index, blob->data(), blob->size(), SQLITE_STATIC);
  }
  return sqlite3_bind_null(statement, index);
}

std::int64_t CopyRows(jet::Reader& reader, std::size_t index, SqliteFile& target) {
  const jet::Table& table = reader.tables()[index];
  target.Execute(CreateTableSql(table));
  StatementHandle insert = target.Prepare(InsertSql(table));
  std::int64_t rows = 0;
  RowPipe<std::vector<jet::Value>> pipe;
  RunBeside(
      pipe,
      [&] {
        reader.ReadRows(index, [&](const std::vector<jet::Value>& values) { pipe.Push(values); });
        pipe.Finish();
      },
      [&] {
        std::vector<jet::Value> values;
        while (pipe.Pop(values)) {
          for (std::size_t i = 0; i < values.size(); ++i) {
            target.Check(Bind(insert.get(), static_cast<int>(i) + 1, values[i]));
          }
          target.Check(sqlite3_step(insert.get()));
          target.Check(sqlite3_reset(insert.get()));
          ++rows;
        }
      });
  return rows;
}

}  // namespace

std::vector<ImportedTable> CopyTables(jet::Reader& reader, const std::string& file,
                                      const std::string& shown_path) {
  SqliteFile target(file, SQLITE_OPEN_READWRITE, "Cannot write " + shown_path);
  // The file is thrown away unless complete, and flushed by the caller. The
  // header is written even when no table follows: an empty file is no database.
  target.Execute("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN; PRAGMA user_version=0");
  std::vector<ImportedTable> imported;
  for (std::size_t i = 0; i < reader.tables().size(); ++i) {
    imported.push_back({reader.tables()[i].name, CopyRows(reader, i, target)});
  }
  target.Execute("COMMIT");
  target.Close();
  return imported;
}

}  // namespace zc::db
