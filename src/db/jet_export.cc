#include "db/jet_export.h"

#include <sqlite3.h>

#include <filesystem>

#include "db/db_failure.h"
#include "db/jet_to_sqlite.h"
#include "db/jet_types.h"
#include "db/quoting.h"
#include "db/sqlite_file.h"
#include "errors/failure.h"
#include "jet/writer.h"
#include "platform/platform.h"

namespace zc::db {
namespace {

std::filesystem::path NativePath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

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

// The value of column `i` into `out`: a text reuses the storage of the one
// before.
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

[[noreturn]] void CannotWrite(const std::string& shown_path, const std::exception& error) {
  if (const auto* failure = dynamic_cast<const jet::Error*>(&error);
      failure && failure->kind == jet::ErrorKind::kIo) {
    throw Failure(failures::kFileAccess, "Cannot write " + shown_path + ": " + error.what());
  }
  throw Failure(code::kNotADatabase,
                shown_path + " cannot take the rebuilt tables: " + error.what());
}

}  // namespace

void WriteTablesToJet(const std::string& sqlite_path, const std::vector<std::string>& tables,
                      const std::string& jet_path, const std::string& shown_path) {
  SqliteFile source = OpenReadOnly(sqlite_path);
  try {
    for (const std::string& table : tables) WriteTable(source, table, jet_path);
  } catch (const Failure&) {
    throw;
  } catch (const std::exception& error) {
    CannotWrite(shown_path, error);
  }
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
  std::vector<std::string> names;
  StatementHandle list = source.Prepare(
      "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
      "'sqlite!_%' ESCAPE '!' ORDER BY rowid");
  while (sqlite3_step(list.get()) == SQLITE_ROW) {
    names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list.get(), 0)));
  }
  const std::string temporary = jet_path + ".part";
  std::vector<ImportedTable> written;
  try {
    std::filesystem::remove(NativePath(temporary));
    jet::CreateEmptyDatabase(temporary);
    for (const std::string& name : names) {
      written.push_back({name, WriteTable(source, name, temporary)});
    }
    if (std::filesystem::exists(NativePath(jet_path)))
      throw jet::Error(jet::ErrorKind::kIo, "it exists already");
    std::filesystem::rename(NativePath(temporary), NativePath(jet_path));
  } catch (const std::exception& error) {
    std::error_code ignored;
    std::filesystem::remove(NativePath(temporary), ignored);
    if (const auto* failure = dynamic_cast<const Failure*>(&error)) throw *failure;
    CannotWrite(jet_path, error);
  }
  return written;
}

}  // namespace zc::db
