// The one way this program holds SQLite files and statements: handles that
// close and finalize however a scope is left. The run's files live in a
// db::Connection; the bridge to Access files copies tables through a
// SqliteFile, which words every failure for the file a message names.
#pragma once

#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace zc::db {

struct CloseSqlite {
  void operator()(sqlite3* db) const;  // rolls back a transaction still open
};
struct FinalizeSqlite {
  void operator()(sqlite3_stmt* statement) const;
};
using SqliteHandle = std::unique_ptr<sqlite3, CloseSqlite>;
using StatementHandle = std::unique_ptr<sqlite3_stmt, FinalizeSqlite>;

// Opens a SQLite file for this program: each handle is used by one thread
// at a time, so neither it nor SQLite's allocations take a lock. Returns
// sqlite3_open_v2's result; the handle is set even when opening fails.
int OpenSqlite(const std::string& path, int open_flags, sqlite3** handle);

// A file opened with SQLite's `open_flags`. Every failure is zc::Failure 75
// with the description "<failure_text>: <SQLite's reason>".
class SqliteFile {
 public:
  SqliteFile(const std::string& path, int open_flags, std::string failure_text);

  sqlite3* get() const { return db_.get(); }
  void Execute(const std::string& sql);
  StatementHandle Prepare(const std::string& sql);
  // Raises unless `result` is SQLITE_OK, SQLITE_ROW or SQLITE_DONE.
  void Check(int result) const;
  [[noreturn]] void Fail(const std::string& reason) const;
  // Closes the file, so that everything written is on its way to the disk.
  void Close();

 private:
  SqliteHandle db_;
  std::string failure_text_;
};

}  // namespace zc::db
