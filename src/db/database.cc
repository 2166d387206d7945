#include "db/database.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "db/db_failure.h"
#include "db/jet_export.h"
#include "db/jet_import.h"
#include "db/jet_sql.h"
#include "db/query_plan.h"
#include "jet/format.h"
#include "platform/platform.h"

namespace zc::db {
namespace {

void RemoveFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(platform::NativePath(path), ignored);
}

std::string CanonicalPath(const std::string& path) {
  std::error_code ignored;
  std::filesystem::path canonical =
      std::filesystem::weakly_canonical(platform::NativePath(path), ignored);
  return canonical.empty() ? path : platform::Utf8Path(canonical);
}

const TableSchema& SchemaOf(Connection& connection, const std::string& table) {
  const TableSchema* schema = connection.Schema(table);
  if (schema == nullptr) {
    Fail(code::kNoSuchTable,
         "The database engine cannot find the input table or query '" + table +
             "'. Make sure it exists and that its name is spelled correctly.",
         source::kDatabase);
  }
  return *schema;
}

// The scratch copy of a file: hidden beside it under a name of its own, so
// that the copy a killed run left behind is simply replaced by the next one.
std::string ScratchPath(const std::string& path) {
  const std::filesystem::path file = platform::NativePath(path);
  const std::string name = platform::Utf8Path(file.filename());
  return platform::Utf8Path(file.parent_path() / platform::NativePath("." + name + ".zc-work"));
}

// A scratch copy is not flushed to the disk: it is thrown away when the run
// ends, and a crash leaves nothing of it that the next run would use. It is
// made anew, so it can be written whatever the permissions of its model.
std::string CopyToScratch(const std::string& from, const std::string& scratch) {
  if (!std::ofstream(platform::NativePath(scratch), std::ios::binary))
    return "Cannot create " + scratch;
  return platform::CopyFileInto(from, scratch);
}

bool IsAccessFile(const std::string& path) {
  return jet::KindOfFile(path) != jet::FileKind::kOther;
}

// A failure about the scratch copy is a failure about the file itself.
Failure Naming(Failure failure, const std::string& scratch, const std::string& path) {
  for (std::size_t at; (at = failure.description.find(scratch)) != std::string::npos;) {
    failure.description.replace(at, scratch.size(), path);
  }
  return failure;
}

}  // namespace

const std::shared_ptr<Connection>& Database::Connected() {
  if (closed_ || !connection_->IsOpen()) ObjectInvalid(source::kDatabase);
  return connection_;
}

std::unique_ptr<Recordset> Database::OpenRecordset(const std::string& source) {
  const std::shared_ptr<Connection>& connection = Connected();
  if (!IsQueryText(source)) {
    return std::make_unique<Recordset>(connection, PlanTable(SchemaOf(*connection, source)),
                                       std::vector<Value>());
  }
  // Per-row queries differ only in their literals: plan each shape once.
  std::vector<Value> literals;
  std::shared_ptr<const QueryPlan> plan = connection->RecentPlan(source, literals);
  if (plan == nullptr) {
    QueryShape shape = ShapeOfJetQuery(source);
    plan = connection->CachedPlan(shape.key);
    if (plan == nullptr) {
      JetQuery query = ParseJetQuery(source);
      plan = PlanQuery(query, shape, SchemaOf(*connection, query.table));
    }
    connection->CachePlan(shape.key, plan);
    literals = std::move(shape.literals);
  }
  return std::make_unique<Recordset>(connection, plan, std::move(literals));
}

db::TableDefs Database::TableDefs() { return db::TableDefs(Connected()); }

TableDef Database::CreateTableDef(const std::string& name) {
  return TableDef::New(Connected(), name);
}

Engine::Engine() {
  // The program has one thread; SQLite's locks and memory statistics only
  // cost time. This must come before any other use of SQLite, and is
  // refused harmlessly when it does not.
  static bool configured = [] {
    sqlite3_config(SQLITE_CONFIG_SINGLETHREAD);
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return true;
  }();
  (void)configured;
}

Engine::~Engine() { FinishPendingWrites(); }

Engine::WorkFile& Engine::Known(const std::string& path) {
  auto given = canonical_.find(path);
  if (given == canonical_.end()) given = canonical_.emplace(path, CanonicalPath(path)).first;
  return files_[given->second];
}

Engine::WorkFile Engine::OpenScratch(const std::string& path, const std::string& model) {
  if (!platform::PathExists(model) || platform::IsFolder(model)) {
    Fail(code::kFileNotFound, "Could not find file '" + model + "'.", source::kEngine);
  }
  WorkFile file;
  file.scratch = ScratchPath(path);
  file.access = IsAccessFile(model);
  RemoveFile(file.scratch);
  try {
    if (file.access) {
      try {
        db::ConvertJetToWorkingCopy(model, file.scratch);
      } catch (const Failure& failure) {
        if (failure.number != failures::kFileAccess) throw;
        Fail(code::kCannotOpen,
             "The file '" + path +
                 "' cannot be written: no working copy can be made in its "
                 "folder (" +
                 failure.description + ").",
             source::kEngine);
      }
    } else {
      CheckSqliteHeader(model);
      std::string error = CopyToScratch(model, file.scratch);
      if (!error.empty()) {
        Fail(code::kCannotOpen,
             "The file '" + path +
                 "' cannot be written: no working copy can be made in its "
                 "folder (" +
                 error + ").",
             source::kEngine);
      }
    }
    file.connection = Connection::Open(file.scratch);
  } catch (const Failure& failure) {
    RemoveFile(file.scratch);
    throw Naming(failure, file.scratch, model);
  }
  return file;
}

Database Engine::OpenDatabase(const std::string& path) {
  WorkFile& file = Known(path);
  if (file.connection == nullptr || !file.connection->IsOpen()) {
    if (file.connection != nullptr) Forget(path);
    Known(path) = OpenScratch(path, path);
  }
  return Database(Known(path).connection);
}

bool Engine::WorksOn(const std::string& path) const {
  auto given = canonical_.find(path);
  if (given == canonical_.end()) return false;
  auto file = files_.find(given->second);
  return file != files_.end() && file->second.connection != nullptr &&
         file->second.connection->IsOpen();
}

void Engine::WorkFrom(const std::string& path, const std::string& model) {
  Forget(path);
  Known(path) = OpenScratch(path, model);
}

void Engine::CommitPendingWrites() {
  for (auto& [path, file] : files_) {
    if (file.connection == nullptr) continue;
    try {
      file.connection->Commit();
    } catch (const Failure& failure) {
      // Nothing may stop the dialog or the end that asked for the commit; the
      // next write to this file reports the trouble again.
      std::fprintf(stderr, "%s\n", failure.description.c_str());
    }
  }
}

void Engine::Forget(const std::string& path) {
  WorkFile& file = Known(path);
  if (file.connection != nullptr) file.connection->Close();
  if (!file.scratch.empty()) RemoveFile(file.scratch);
  file = WorkFile();
}

void Engine::FinishPendingWrites() {
  CommitPendingWrites();
  DiscardPendingWrites();  // nothing is left to discard: this closes the files
}

void Engine::DiscardPendingWrites() {
  for (auto& [path, file] : files_) {
    if (file.connection != nullptr) file.connection->Close();  // rolls back
    if (!file.scratch.empty()) RemoveFile(file.scratch);
  }
  files_.clear();
}

void Engine::SaveFile(const std::string& path, WorkFile& file) {
  Connection& connection = *file.connection;
  connection.DropLookupIndexes();  // the scratch copy is about to become the file
  connection.Commit();
  if (!connection.modified()) return;  // the file is as it was
  std::string refused = platform::RefusedWriteReason(path);
  if (!refused.empty()) Fail(code::kCannotOpen, refused, source::kEngine);
  if (!file.access) {
    connection.Close();
    std::string error = platform::ReplaceFileWithCopy(file.scratch, path);
    if (!error.empty()) Fail(code::kCannotOpen, error, source::kEngine);
    return;
  }
  std::vector<std::string> tables;
  for (const std::string& name : connection.TableNames()) {
    if (connection.changed_tables().count(platform::UpperCase(name))) tables.push_back(name);
  }
  if (tables.size() != connection.changed_tables().size()) {
    Fail(code::kCannotOpen, "A table cannot be dropped from the Access file '" + path + "'.",
         source::kEngine);
  }
  connection.Close();
  db::WriteBackToJet(file.scratch, tables, path);
  std::string list;
  for (const std::string& table : tables) list += (list.empty() ? "" : ", ") + table;
  notes_.push_back("Wrote " + list + " back into the Access file " + path + ".");
}

void Engine::KeepCopy(const std::string& path, const std::string& copy) {
  if (!platform::PathExists(path)) return;
  std::string error = platform::ReplaceFileWithCopy(path, copy);
  if (!error.empty()) Fail(code::kCannotOpen, error, source::kEngine);
}

void Engine::Save(const std::string& path) {
  WorkFile& file = Known(path);
  if (file.connection != nullptr && file.connection->IsOpen()) SaveFile(path, file);
  Forget(path);
}

void Engine::ReplaceWithCopy(const std::string& from, const std::string& to) {
  Save(from);
  Forget(to);  // what was written to it is about to be replaced
  std::string error = platform::ReplaceFileWithCopy(from, to);
  if (!error.empty()) {
    Fail(platform::PathExists(from) ? code::kCannotOpen : code::kFileNotFound, error,
         source::kEngine);
  }
}

}  // namespace zc::db
