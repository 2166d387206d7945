// One open SQLite file. The engine keeps one per file for the whole run, so
// opening and closing a database in the procedures costs nothing; statements
// are prepared once; writes are batched in one transaction that is committed
// whenever the program is about to show, log or copy something.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/jet_sql.h"
#include "db/sqlite_file.h"
#include "db/statement.h"
#include "db/table_schema.h"

struct sqlite3;

namespace zc::db {

struct QueryPlan;

// The collation by which every text comparison and ordering in SQL ignores
// letter case, as the Access engine's do: platform::CompareIgnoringCase.
inline constexpr const char* kTextCollation = "zc_nocase";
// The SQL function that gives a text's key: its upper-case form, so that two
// texts equal by kTextCollation have equal keys; Null for anything but a
// text. An index of keys is searched by SQLite's plain byte comparison.
inline constexpr const char* kTextKey = "zc_key";

// Raises code::kNotADatabase for a file that does not start as every SQLite
// file does, before SQLite would take it for an empty new database.
void CheckSqliteHeader(const std::string& path);

class Connection {
 public:
  // Opens an existing SQLite file, a run's scratch copy: its commits do not
  // wait for the disk (the copy is flushed when it replaces its file, and a
  // crash leaves nothing of it that the next run would use). Raises
  // code::kFileNotFound for a missing file and code::kNotADatabase for one
  // that is no database.
  static std::shared_ptr<Connection> Open(const std::string& path);
  ~Connection() { Close(); }

  bool IsOpen() const { return db_ != nullptr; }
  std::int64_t LastInsertRowid() const;
  // Closes the file for good: a transaction still open is rolled back.
  void Close();

  // A cached prepared statement, ready to bind; it lives as long as the file is open.
  Statement& Prepare(const std::string& sql);

  // Plans of queries already asked, by their shape; dropped when the schema changes.
  std::shared_ptr<const QueryPlan> CachedPlan(const std::string& shape) const;
  // Caches the plan, and keeps its shape among the recent ones.
  void CachePlan(const std::string& shape, std::shared_ptr<const QueryPlan> plan);
  // The plan of a text of a recent shape, with the text's literals; nullptr
  // when the text has none of them. Per-row queries are found here.
  std::shared_ptr<const QueryPlan> RecentPlan(std::string_view text,
                                              std::vector<Value>& literals) const;
  // Runs a statement that writes, inside the run's transaction.
  void Write(const std::string& sql);
  // Starts the run's transaction before a write, if none is open.
  void BeginWrite();
  // Changes before every write, so that rows read ahead know they may be stale.
  std::uint64_t write_generation() const { return write_generation_; }
  void Commit();

  // Tables whose fields or rows the run changed, upper-cased: a file kept in
  // another format (an Access file) gets exactly these written back.
  void TableChanged(std::string_view table);
  const std::set<std::string>& changed_tables() const { return changed_tables_; }
  // Anything to keep: changed tables, or lookup indexes an earlier run left.
  bool modified() const { return !changed_tables_.empty() || leftovers_dropped_; }

  std::vector<std::string> TableNames();
  // The schema of a table, names compared without regard to case; nullptr if none.
  const TableSchema* Schema(std::string_view table);
  void SchemaChanged();

  // An index that makes a repeated per-row lookup cheap. It holds keys made
  // by kTextKey, which other SQLite tools lack, so it stays in the scratch
  // copy: kept from one commit to the next (building it again would cost a
  // pass over the table after every dialog), and dropped before the copy
  // becomes the file. No file ever holds one, not even after a killed run.
  void EnsureLookupIndex(const std::string& name, const std::string& create_sql);
  // Best effort: the commit that follows matters more, and the next open
  // drops what stays.
  void DropLookupIndexes();

  // A statement that writes rows through a plan: adds them or changes them,
  // setting the fields marked.
  struct PreparedWrite {
    std::uint64_t plan_id;
    bool adds;
    std::vector<bool> fields;
    Statement* statement;
  };
  // The statement for that plan, way and fields, made by `sql` the first
  // time; record sets opened row after row share it. It lives as long as
  // the file is open.
  const PreparedWrite& PrepareWrite(std::uint64_t plan_id, bool adds,
                                    const std::vector<bool>& fields,
                                    const std::function<std::string()>& sql);

 private:
  Connection(sqlite3* db, std::string path);
  // Lookup indexes a killed run of an earlier version left in the file.
  void DropLeftoverIndexes();

  SqliteHandle db_;
  std::string path_;
  bool in_transaction_ = false;
  // Declared after db_, so they are finalized before the file is closed.
  std::unordered_map<std::string, std::unique_ptr<Statement>> statements_;
  std::deque<PreparedWrite> writes_;  // never moved: record sets keep pointers
  std::unordered_map<std::string, std::shared_ptr<const QueryPlan>> plans_;
  std::vector<std::pair<ShapePattern, std::shared_ptr<const QueryPlan>>> recent_;
  std::map<std::string, TableSchema> schemas_;  // by upper-cased name
  std::vector<std::string> table_names_;
  bool names_loaded_ = false;
  std::set<std::string> lookup_indexes_;
  std::set<std::string> changed_tables_;
  std::string last_changed_;
  bool leftovers_dropped_ = false;
  std::uint64_t write_generation_ = 1;
};

}  // namespace zc::db
