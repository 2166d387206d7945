// An open database and the engine that opens them. One engine serves a run:
// a file opened again reuses its connection, and everything written is
// committed before the program shows, logs or copies anything, and at its end.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/recordset.h"
#include "db/table_def.h"
#include "errors/run.h"

namespace zc::db {

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

// Opens the run's database files. Every file is worked on in a scratch copy
// beside it (an Access file is read into a SQLite one), so a file itself only
// changes when the run replaces it whole and atomically: a cancel, a failure
// that ends the program or a kill leaves every file exactly as it was.
class Engine : public PendingWrites {
 public:
  Engine();
  ~Engine() override;
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Raises code::kFileNotFound for a missing file and code::kNotADatabase for
  // one that is no database.
  Database OpenDatabase(const std::string& path);
  // True while the run works on the file at `path`: opened, or put in place
  // by WorkFrom, though it may not lie on disk yet.
  bool WorksOn(const std::string& path) const;
  // The file at `path` is from now on worked on as a copy of the file at
  // `model`, still without changing either file.
  void WorkFrom(const std::string& path, const std::string& model);

  void CommitPendingWrites() override;
  void FinishPendingWrites() override;
  void DiscardPendingWrites() override;

  // Makes what the run wrote to the file at `path` the file's own: it is
  // replaced atomically by its scratch copy, or, an Access file, gets the
  // changed tables written back. Work on it goes on in a new scratch copy.
  void Save(const std::string& path);

  // Saves `from`, then copies it whole over `to`, replaced atomically. What
  // was written to `to` is dropped.
  void ReplaceWithCopy(const std::string& from, const std::string& to);

  // Copies the file at `path`, as it lies on disk, to `copy` (replaced
  // atomically). Nothing happens when there is no such file.
  void KeepCopy(const std::string& path, const std::string& copy);

  // What the engine did to files beyond the run's own tables.
  const std::vector<std::string>& notes() const { return notes_; }

 private:
  struct WorkFile {
    std::shared_ptr<Connection> connection;
    std::string scratch;
    bool access = false;  // the file itself is an Access (Jet) file
  };
  WorkFile& Known(const std::string& path);
  WorkFile OpenScratch(const std::string& path, const std::string& model);
  void SaveFile(const std::string& path, WorkFile& file);
  // Closes the file without committing, and drops its scratch copy.
  void Forget(const std::string& path);

  std::map<std::string, WorkFile> files_;         // by canonical path
  std::map<std::string, std::string> canonical_;  // given path -> canonical path
  std::vector<std::string> notes_;
};

}  // namespace zc::db
