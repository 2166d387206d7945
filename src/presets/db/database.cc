#include "presets/db/database.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>

#include "platform/platform.h"
#include "presets/db/db_failure.h"
#include "presets/db/jet_sql.h"
#include "presets/db/query_plan.h"

namespace zc::db {
namespace {

// Paths are UTF-8 texts; Windows would read narrow ones in its ANSI code page.
std::filesystem::path FileSystemPath(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

void RemoveFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(FileSystemPath(path), ignored);
}

std::string CanonicalPath(const std::string& path) {
  std::error_code ignored;
  std::filesystem::path canonical =
      std::filesystem::weakly_canonical(FileSystemPath(path), ignored);
  if (canonical.empty()) return path;
  std::u8string utf8 = canonical.u8string();
  return std::string(utf8.begin(), utf8.end());
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

ForeignImporter& Importer() {
  static ForeignImporter importer;
  return importer;
}

// Access files start with "Standard Jet DB" or "Standard ACE DB" at byte 4.
bool IsAccessFile(const std::string& path) {
  std::optional<std::string> head = platform::ReadFileStart(path, 19);
  return head && head->size() == 19 &&
         (head->compare(4, 15, "Standard Jet DB") == 0 ||
          head->compare(4, 15, "Standard ACE DB") == 0);
}

}  // namespace

void SetForeignImporter(ForeignImporter importer) { Importer() = std::move(importer); }

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
  QueryShape shape = ShapeOfJetQuery(source);
  std::shared_ptr<const QueryPlan> plan = connection->CachedPlan(shape.key);
  if (plan == nullptr) {
    JetQuery query = ParseJetQuery(source);
    plan = PlanQuery(query, shape, SchemaOf(*connection, query.table));
    connection->CachePlan(shape.key, plan);
  }
  return std::make_unique<Recordset>(connection, plan, std::move(shape.literals));
}

db::TableDefs Database::TableDefs() { return db::TableDefs(Connected()); }

TableDef Database::CreateTableDef(const std::string& name) {
  return TableDef(Connected(), name, false);
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

Database Engine::OpenDatabase(const std::string& path) {
  // The procedures open the same files by the same paths again and again.
  if (auto known = by_given_path_.find(path); known != by_given_path_.end()) {
    if (auto connection = known->second.lock(); connection && connection->IsOpen()) {
      return Database(connection);
    }
  }
  std::string key = CanonicalPath(path);
  auto found = connections_.find(key);
  if (found != connections_.end() && found->second->IsOpen()) {
    by_given_path_[path] = found->second;
    return Database(found->second);
  }
  auto scratch = scratch_.find(key);
  if (scratch == scratch_.end()) ImportIfAccessFile(path);
  std::shared_ptr<Connection> connection =
      Connection::Open(scratch == scratch_.end() ? path : scratch->second);
  connections_[key] = connection;
  by_given_path_[path] = connection;
  return Database(connection);
}

void Engine::CommitPendingWrites() {
  for (auto& [path, connection] : connections_) {
    try {
      connection->Commit();
    } catch (const Failure& failure) {
      // Nothing may stop the dialog or the end that asked for the commit; the
      // next write to this file reports the trouble again.
      std::fprintf(stderr, "%s\n", failure.description.c_str());
    }
  }
}

void Engine::ImportIfAccessFile(const std::string& path) {
  if (!IsAccessFile(path)) return;
  if (!Importer()) {
    Fail(code::kNotADatabase,
         "'" + path +
             "' is an Access database, which this build cannot read. Convert it with "
             "mdb2sqlite first.",
         source::kEngine);
  }
  notes_.push_back(Importer()(path));
}

void Engine::WorkOnCopy(const std::string& path) {
  if (!platform::PathExists(path)) return;
  ImportIfAccessFile(path);
  Forget(path);
  // Named like the temporary files of a replacement, so that the next
  // replacement of the file removes a copy a killed run left behind.
  std::string name = platform::FileNameOf(path);
  std::string scratch = path.substr(0, path.size() - name.size()) + "." + name + ".tmp-work";
  std::string error = platform::ReplaceFileWithCopy(path, scratch);
  if (!error.empty()) Fail(code::kCannotOpen, error, source::kEngine);
  scratch_[CanonicalPath(path)] = scratch;
}

void Engine::Forget(const std::string& path) {
  if (auto open = Release(path)) open->Close();
  auto scratch = scratch_.find(CanonicalPath(path));
  if (scratch == scratch_.end()) return;
  RemoveFile(scratch->second);
  scratch_.erase(scratch);
}

void Engine::FinishPendingWrites() {
  CommitPendingWrites();
  DiscardPendingWrites();  // nothing is left to discard: this closes the files
}

void Engine::DiscardPendingWrites() {
  for (auto& [path, connection] : connections_) connection->Close();  // rolls back
  connections_.clear();
  for (auto& [path, scratch] : scratch_) RemoveFile(scratch);
  scratch_.clear();
}

std::shared_ptr<Connection> Engine::Release(const std::string& path) {
  auto found = connections_.find(CanonicalPath(path));
  if (found == connections_.end()) return nullptr;
  std::shared_ptr<Connection> connection = found->second;
  connections_.erase(found);
  return connection;
}

void Engine::KeepCopy(const std::string& path, const std::string& copy) {
  Forget(path);
  if (!platform::PathExists(path)) return;
  std::string error = platform::ReplaceFileWithCopy(path, copy);
  if (!error.empty()) Fail(code::kCannotOpen, error, source::kEngine);
}

void Engine::ReplaceWithCopy(const std::string& from, const std::string& to) {
  if (auto source = Release(from)) {
    source->Commit();
    source->Close();
  }
  Forget(to);  // what was written to it is about to be replaced
  std::string error = platform::ReplaceFileWithCopy(from, to);
  if (!error.empty()) {
    Fail(platform::PathExists(from) ? code::kCannotOpen : code::kFileNotFound, error,
         source::kEngine);
  }
}

}  // namespace zc::db
