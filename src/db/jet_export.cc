#include "db/jet_export.h"

#include <sqlite3.h>

#include <span>
#include <string_view>

#include "db/db_failure.h"
#include "db/jet_failure.h"
#include "db/jet_types.h"
#include "db/quoting.h"
#include "db/sqlite_file.h"
#include "errors/failure.h"
#include "jet/writer.h"
#include "platform/platform.h"

namespace zc::db {
namespace {

SqliteFile OpenReadOnly(const std::string& path) {
  return SqliteFile(path, SQLITE_OPEN_READONLY, "Cannot read " + path);
}

std::vector<jet::Field> FieldsOf(SqliteFile& source, const std::string& table) {
  StatementHandle info = source.Prepare("SELECT name, type FROM pragma_table_info(?)");
  sqlite3_bind_text(info.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
  std::vector<jet::Field> fields;
  while (sqlite3_step(info.get()) == SQLITE_ROW) {
    const auto text = [&](int i) {
      const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(info.get(), i));
      return std::string(chars ? chars : "");
    };
    fields.push_back(JetFieldOf(text(0), text(1)));
  }
  if (fields.empty()) source.Fail("it has no table \"" + table + "\"");
  return fields;
}

// The value of column `i` into `out`: a text reuses the storage of the one before.
void ReadValue(sqlite3_stmt* statement, int i, jet::Value& out) {
  switch (sqlite3_column_type(statement, i)) {
    case SQLITE_INTEGER:
      out = std::int64_t{sqlite3_column_int64(statement, i)};
      return;
    case SQLITE_FLOAT:
      out = sqlite3_column_double(statement, i);
      return;
    case SQLITE_TEXT: {
      const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
      const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, i));
      auto* text = std::get_if<std::string>(&out);
      (text ? *text : out.emplace<std::string>()).assign(chars, size);
      return;
    }
    case SQLITE_BLOB: {
      const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, i));
      out = jet::Blob(bytes, bytes + sqlite3_column_bytes(statement, i));
      return;
    }
    default:
      out = std::monostate{};
  }
}

// Copies one table; returns how many rows it holds.
std::int64_t WriteTable(SqliteFile& source, const std::string& table, const std::string& jet_path) {
  const std::vector<jet::Field> fields = FieldsOf(source, table);
  StatementHandle rows = source.Prepare("SELECT * FROM " + DoubleQuoted(table) + " ORDER BY rowid");
  std::int64_t count = 0;
  jet::ReplaceTable(jet_path, table, fields, [&](std::vector<jet::Value>& row) {
    const int step = sqlite3_step(rows.get());
    if (step == SQLITE_DONE) return false;
    if (step != SQLITE_ROW) source.Fail(sqlite3_errmsg(source.get()));
    row.resize(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i)
      ReadValue(rows.get(), static_cast<int>(i), row[i]);
    ++count;
    return true;
  });
  return count;
}

std::vector<std::string> TableNames(SqliteFile& source) {
  StatementHandle list = source.Prepare(
      "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
      "'sqlite!_%' ESCAPE '!' ORDER BY rowid");
  std::vector<std::string> names;
  while (sqlite3_step(list.get()) == SQLITE_ROW) {
    names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list.get(), 0)));
  }
  return names;
}

// Copies `tables`; returns how many rows each holds.
std::vector<ImportedTable> WriteTables(SqliteFile& source, const std::vector<std::string>& tables,
                                       const std::string& jet_path, const std::string& shown_path) {
  std::vector<ImportedTable> written;
  try {
    for (const std::string& table : tables) {
      written.push_back({table, WriteTable(source, table, jet_path)});
    }
  } catch (const jet::Error& error) {
    RaiseJetFailure(error, JetWork::kWriting, shown_path);
  }
  return written;
}

}  // namespace

void WriteTablesToJet(const std::string& sqlite_path, const std::vector<std::string>& tables,
                      const std::string& jet_path, const std::string& shown_path) {
  SqliteFile source = OpenReadOnly(sqlite_path);
  WriteTables(source, tables, jet_path, shown_path);
}

std::string AccessLockFile(const std::string& jet_path) {
  return jet_path.substr(0, jet_path.find_last_of('.')) + ".ldb";
}

void WriteBackToJet(const std::string& scratch, const std::vector<std::string>& tables,
                    const std::string& jet_path) {
  const std::string lock = AccessLockFile(jet_path);
  if (platform::FileExists(lock)) {
    Fail(code::kCannotOpen,
         "The file '" + jet_path + "' is open in Access (its lock file '" + lock +
             "' exists). Close it in Access and run again.",
         db::source::kEngine);
  }
  const std::string error = platform::ReplaceFileAtomically(jet_path, [&](const std::string& temp) {
    if (std::string error = platform::CopyFileInto(jet_path, temp); !error.empty()) return error;
    WriteTablesToJet(scratch, tables, temp, jet_path);
    return std::string();
  });
  if (!error.empty()) Fail(code::kCannotOpen, error, db::source::kEngine);
}

std::vector<ImportedTable> ConvertSqliteToJet(const std::string& sqlite_path,
                                              const std::string& jet_path) {
  SqliteFile source = OpenReadOnly(sqlite_path);
  const std::vector<std::string> names = TableNames(source);
  std::vector<ImportedTable> written;
  const std::string error = platform::ReplaceFileAtomically(jet_path, [&](const std::string& temp) {
    const std::span<const std::uint8_t> empty = jet::EmptyJet4Database();
    const std::string_view bytes(reinterpret_cast<const char*>(empty.data()), empty.size());
    if (std::string error = platform::WriteBytesInto(temp, bytes); !error.empty()) return error;
    written = WriteTables(source, names, temp, jet_path);
    // A file made meanwhile by someone else is not replaced.
    if (!platform::PathExists(jet_path)) return std::string();
    return "Cannot write " + jet_path + ": it exists already";
  });
  if (!error.empty()) throw Failure(failures::kFileAccess, error);
  return written;
}

}  // namespace zc::db
