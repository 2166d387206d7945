#include "presets/db/database.h"

#include <cstdio>
#include <filesystem>

#include "platform/platform.h"
#include "presets/db/db_failure.h"

namespace zc::db {
namespace {

// Paths are UTF-8 texts; Windows would read narrow ones in its ANSI code page.
std::string CanonicalPath(const std::string& path) {
  std::error_code ignored;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(
      std::filesystem::path(std::u8string(path.begin(), path.end())), ignored);
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
  QueryShape shape = ShapeOfJetQuery(source);
  std::shared_ptr<const QueryPlan> plan = connection->CachedPlan(shape.key);
  if (plan == nullptr || !PlanServes(*plan, shape.literals)) {
    JetQuery query = ParseJetQuery(source);
    plan = PlanQuery(query, SchemaOf(*connection, query.table));
    if (plan->reusable) connection->CachePlan(shape.key, plan);
  }
  return std::make_unique<Recordset>(connection, plan, BindParameters(*plan, shape.literals));
}

db::TableDefs Database::TableDefs() { return db::TableDefs(Connected()); }

TableDef Database::CreateTableDef(const std::string& name) {
  return TableDef(Connected(), name, false);
}

Engine::~Engine() { FinishPendingWrites(); }

Database Engine::OpenDatabase(const std::string& path) {
  std::string key = CanonicalPath(path);
  auto found = connections_.find(key);
  if (found != connections_.end() && found->second->IsOpen()) return Database(found->second);
  std::shared_ptr<Connection> connection = Connection::Open(path);
  connections_[key] = connection;
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

void Engine::FinishPendingWrites() {
  for (auto& [path, connection] : connections_) {
    try {
      if (connection->IsOpen()) connection->DropLookupIndexes();
    } catch (const Failure& failure) {
      std::fprintf(stderr, "%s\n", failure.description.c_str());
    }
  }
  CommitPendingWrites();
  for (auto& [path, connection] : connections_) connection->Close();
  connections_.clear();
}

void Engine::DiscardPendingWrites() {
  for (auto& [path, connection] : connections_) connection->Close();  // rolls back
  connections_.clear();
}

std::shared_ptr<Connection> Engine::Release(const std::string& path) {
  auto found = connections_.find(CanonicalPath(path));
  if (found == connections_.end()) return nullptr;
  std::shared_ptr<Connection> connection = found->second;
  connections_.erase(found);
  return connection;
}

void Engine::ReplaceWithCopy(const std::string& from, const std::string& to) {
  if (auto source = Release(from)) {
    source->DropLookupIndexes();
    source->Commit();
    source->Close();
  }
  if (auto target = Release(to)) target->Close();  // its writes are about to be replaced
  std::string error = platform::ReplaceFileWithCopy(from, to);
  if (!error.empty()) {
    Fail(platform::PathExists(from) ? code::kCannotOpen : code::kFileNotFound, error,
         source::kEngine);
  }
}

}  // namespace zc::db
