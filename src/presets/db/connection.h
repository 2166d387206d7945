// One open SQLite file. The engine keeps one per file for the whole run, so
// opening and closing a database in the procedures costs nothing; statements
// are prepared once; writes are batched in one transaction that is committed
// whenever the program is about to show, log or copy something.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "presets/db/field_type.h"
#include "presets/db/statement.h"
#include "presets/db/value.h"

namespace zc::db {

struct ColumnInfo {
  std::string name;      // as stored
  std::string upper;     // the name upper-cased, for lookups without regard to case
  std::string declared;  // the declared type, e.g. TEXT(50)
  FieldType type;
};

struct TableSchema {
  std::string name;  // as stored
  std::vector<ColumnInfo> columns;
  // Position of a column, names compared without regard to case; -1 if none.
  int Find(std::string_view column) const;
};

class Connection {
 public:
  // Opens an existing SQLite file; raises 3024 for a missing file and 3343
  // for one that is no database.
  static std::shared_ptr<Connection> Open(const std::string& path);
  ~Connection();

  const std::string& path() const { return path_; }
  bool IsOpen() const { return db_ != nullptr; }
  std::int64_t LastInsertRowid() const { return sqlite3_last_insert_rowid(db_); }
  // Closes the file for good: a transaction still open is rolled back.
  void Close();

  // A cached prepared statement, ready to bind; it lives as long as the file is open.
  Statement& Prepare(const std::string& sql);
  // A statement for one use only.
  std::unique_ptr<Statement> PrepareOnce(const std::string& sql);

  // Plans of queries already asked, by their shape; dropped when the schema changes.
  std::shared_ptr<const struct QueryPlan> CachedPlan(const std::string& shape) const;
  void CachePlan(const std::string& shape, std::shared_ptr<const struct QueryPlan> plan);
  // Runs a statement that writes, inside the run's transaction.
  void Write(const std::string& sql);
  // Starts the run's transaction before a write, if none is open.
  void BeginWrite();
  // Changes before every write, so that rows read ahead know they may be stale.
  std::uint64_t write_generation() const { return write_generation_; }
  void Commit();
  void Rollback();

  std::vector<std::string> TableNames();
  // The schema of a table, names compared without regard to case; nullptr if none.
  const TableSchema* Schema(std::string_view table);
  void SchemaChanged();

  // An index that makes a repeated per-row lookup cheap; dropped again
  // before the file is copied or closed, so finished files hold none.
  void EnsureLookupIndex(const std::string& table, const std::vector<std::string>& columns);
  void DropLookupIndexes();
  // Changes whenever lookup indexes may have gone, so plans know to ask again.
  std::uint64_t index_generation() const { return index_generation_; }

 private:
  Connection(sqlite3* db, std::string path);
  void DropLeftoverIndexes();

  sqlite3* db_;
  std::string path_;
  bool in_transaction_ = false;
  std::unordered_map<std::string, std::unique_ptr<Statement>> statements_;
  std::unordered_map<std::string, std::shared_ptr<const struct QueryPlan>> plans_;
  std::map<std::string, TableSchema> schemas_;  // by upper-cased name
  std::vector<std::string> table_names_;
  bool names_loaded_ = false;
  std::set<std::string> lookup_indexes_;
  std::uint64_t index_generation_ = 1;
  std::uint64_t write_generation_ = 1;
};

}  // namespace zc::db
