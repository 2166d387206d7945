#include "db/sqlite_file.h"

#include <sqlite3.h>

#include "errors/failure.h"

namespace zc::db {

void CloseSqlite::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

void FinalizeSqlite::operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }

int OpenSqlite(const std::string& path, int open_flags, sqlite3** handle) {
  // Allocation counts are kept under one process-wide lock unless SQLite is
  // told before its first use that nobody reads them.
  static const int configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  (void)configured;
  return sqlite3_open_v2(path.c_str(), handle, open_flags | SQLITE_OPEN_NOMUTEX, nullptr);
}

SqliteFile::SqliteFile(const std::string& path, int open_flags, std::string failure_text)
    : failure_text_(std::move(failure_text)) {
  sqlite3* handle = nullptr;
  const int result = OpenSqlite(path, open_flags, &handle);
  db_.reset(handle);
  Check(result);
}

void SqliteFile::Execute(const std::string& sql) {
  Check(sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr));
}

StatementHandle SqliteFile::Prepare(const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  const int result = sqlite3_prepare_v2(db_.get(), sql.c_str(), -1, &statement, nullptr);
  StatementHandle owned(statement);
  Check(result);
  return owned;
}

void SqliteFile::Check(int result) const {
  if (result == SQLITE_OK || result == SQLITE_DONE || result == SQLITE_ROW) return;
  Fail(db_ ? sqlite3_errmsg(db_.get()) : sqlite3_errstr(result));
}

void SqliteFile::Fail(const std::string& reason) const {
  throw Failure(failures::kFileAccess, failure_text_ + ": " + reason);
}

void SqliteFile::Close() {
  sqlite3* handle = db_.release();
  if (sqlite3_close(handle) != SQLITE_OK) {
    sqlite3_close_v2(handle);
    throw Failure(failures::kFileAccess, failure_text_);
  }
}

}  // namespace zc::db
