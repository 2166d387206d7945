// An open database and the engine that opens them. One engine serves a run:
// a file opened again reuses its connection, and everything written is
// committed before the program shows, logs or copies anything, and at its end.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "errors/run.h"
#include "presets/db/recordset.h"
#include "presets/db/table_def.h"

namespace zc::db {

// Brings a database file of another format (an Access file) over into this
// program's format in place and returns a note for the run report; raises a
// failure naming the file when it cannot. Set once at start-up where the
// build can read such files.
using ForeignImporter = std::function<std::string(const std::string& path)>;
void SetForeignImporter(ForeignImporter importer);

class Database {
 public:
  explicit Database(std::shared_ptr<Connection> connection) : connection_(std::move(connection)) {}

  // A table name, or a SELECT text over one table.
  std::unique_ptr<Recordset> OpenRecordset(const std::string& source);
  db::TableDefs TableDefs();
  TableDef CreateTableDef(const std::string& name);
  void Close() { closed_ = true; }  // the connection stays with the engine

 private:
  const std::shared_ptr<Connection>& Connected();
  std::shared_ptr<Connection> connection_;
  bool closed_ = false;
};

class Engine : public PendingWrites {
 public:
  Engine();
  ~Engine() override;
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Raises code::kFileNotFound for a missing file and code::kNotADatabase for
  // one that is no database.
  Database OpenDatabase(const std::string& path);

  void CommitPendingWrites() override;
  void FinishPendingWrites() override;
  void DiscardPendingWrites() override;

  // Copies `from` over `to` as a whole file that is replaced atomically. What
  // was written to `from` is committed first; what was written to `to` is
  // discarded, since the copy replaces it.
  void ReplaceWithCopy(const std::string& from, const std::string& to);

  // From now on the file at `path` is worked on in a scratch copy beside it:
  // the file itself is left as it is until it is replaced whole, whatever
  // the run writes to it and wherever the run stops.
  void WorkOnCopy(const std::string& path);

  // Copies the file at `path`, as last committed, to `copy` (replaced
  // atomically); what was written to `path` and not yet committed is
  // dropped first. Nothing happens when there is no such file.
  void KeepCopy(const std::string& path, const std::string& copy);

  // What the engine did beyond opening files: imports of Access files.
  const std::vector<std::string>& notes() const { return notes_; }

 private:
  std::shared_ptr<Connection> Release(const std::string& path);
  // Closes the file without committing, and drops its scratch copy.
  void Forget(const std::string& path);
  void ImportIfAccessFile(const std::string& path);
  std::map<std::string, std::shared_ptr<Connection>> connections_;  // by canonical path
  std::map<std::string, std::weak_ptr<Connection>> by_given_path_;
  std::vector<std::string> notes_;
  std::map<std::string, std::string> scratch_;  // canonical path -> its scratch copy
};

}  // namespace zc::db
