#include "db/connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include "db/db_failure.h"
#include "db/query_plan.h"
#include "db/quoting.h"
#include "platform/ansi_text.h"
#include "platform/platform.h"

namespace zc::db {
namespace {

// The bytes of an index's texts are compared over and over, and neighbours
// share long beginnings ("Machine1.Var_..."): eight equal ASCII bytes at a
// time are passed over before the letter-by-letter comparison, which would
// pass over them the same way.
int CompareText(void*, int a_size, const void* a, int b_size, const void* b) {
  auto* x = static_cast<const char*>(a);
  auto* y = static_cast<const char*>(b);
  size_t shorter = static_cast<size_t>(std::min(a_size, b_size)), at = 0;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  for (std::uint64_t p, q; at + 8 <= shorter; at += 8) {
    std::memcpy(&p, x + at, 8);
    std::memcpy(&q, y + at, 8);
    if (p != q || (p & kHighBits) != 0) break;
  }
  return platform::CompareIgnoringCase(std::string_view(x + at, static_cast<size_t>(a_size) - at),
                                       std::string_view(y + at, static_cast<size_t>(b_size) - at));
}

// An index build takes the key of every row: a text of ASCII letters alone,
// the common case, is upper-cased as UpperCase does it, on the stack; SQLite
// copies it into the result it keeps from row to row, without a new block.
void TextKey(sqlite3_context* context, int, sqlite3_value** arguments) {
  if (sqlite3_value_type(arguments[0]) != SQLITE_TEXT) return;  // the result stays Null
  auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
  int size = sqlite3_value_bytes(arguments[0]);
  char stack[256];
  std::string upper;
  char* key = stack;
  if (size > static_cast<int>(sizeof stack)) {
    upper.resize(static_cast<size_t>(size));
    key = upper.data();
  }
  for (int i = 0; i < size; ++i) {
    char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x80) {
      upper = platform::UpperCase(std::string_view(text, static_cast<size_t>(size)));
      return sqlite3_result_text(context, upper.data(), static_cast<int>(upper.size()),
                                 SQLITE_TRANSIENT);
    }
    key[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
  }
  sqlite3_result_text(context, key, size, SQLITE_TRANSIENT);
}

}  // namespace

void CheckSqliteHeader(const std::string& path) {
  std::optional<std::string> head = platform::ReadFileStart(path, 16);
  if (!head || head->compare(0, 16, std::string("SQLite format 3\0", 16)) != 0) {
    Fail(code::kNotADatabase, "Unrecognized database format '" + path + "'.", source::kEngine);
  }
}

std::shared_ptr<Connection> Connection::Open(const std::string& path) {
  if (!platform::PathExists(path) || platform::IsFolder(path)) {
    Fail(code::kFileNotFound, "Could not find file '" + path + "'.", source::kEngine);
  }
  CheckSqliteHeader(path);
  sqlite3* db = nullptr;
  int rc = OpenSqlite(path, SQLITE_OPEN_READWRITE, &db);
  std::shared_ptr<Connection> connection(new Connection(db, path));
  if (rc != SQLITE_OK) RaiseSqlite(db, rc, path);
  sqlite3_create_collation_v2(db, kTextCollation, SQLITE_UTF8, nullptr, CompareText, nullptr);
  sqlite3_create_function_v2(db, kTextKey, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                             nullptr, TextKey, nullptr, nullptr, nullptr);
  // Proves the file is a readable database before any procedure relies on it.
  // SQLite's own cache size: a larger cache was measured slower, its pages
  // being fresh memory for every file the run opens, while the work walks
  // each table mostly in order.
  rc = sqlite3_exec(db,
                    "PRAGMA cache_size=-2000; PRAGMA synchronous=OFF; "
                    "SELECT count(*) FROM sqlite_master;",
                    nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) RaiseSqlite(db, rc, path);
  connection->DropLeftoverIndexes();
  return connection;
}

Connection::Connection(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}

std::int64_t Connection::LastInsertRowid() const { return sqlite3_last_insert_rowid(db_.get()); }

void Connection::Close() {
  writes_.clear();
  statements_.clear();
  db_.reset();
  in_transaction_ = false;
}

Statement& Connection::Prepare(const std::string& sql) {
  if (db_ == nullptr) ObjectInvalid(source::kDatabase);
  auto found = statements_.find(sql);
  if (found != statements_.end()) return *found->second;
  auto statement = std::make_unique<Statement>(db_.get(), sql);
  return *statements_.emplace(sql, std::move(statement)).first->second;
}

std::shared_ptr<const QueryPlan> Connection::CachedPlan(const std::string& shape) const {
  auto found = plans_.find(shape);
  return found == plans_.end() ? nullptr : found->second;
}

void Connection::CachePlan(const std::string& shape, std::shared_ptr<const QueryPlan> plan) {
  if (plans_.size() >= 256) plans_.clear();  // only a few shapes ever repeat
  plans_[shape] = plan;
  // Few shapes are asked row after row, and rarely more than two at a time.
  constexpr size_t kRecent = 4;
  if (recent_.size() == kRecent) recent_.pop_back();
  recent_.insert(recent_.begin(), {ShapePattern(shape), std::move(plan)});
}

std::shared_ptr<const QueryPlan> Connection::RecentPlan(std::string_view text,
                                                        std::vector<Value>& literals) const {
  for (const auto& [pattern, plan] : recent_) {
    if (pattern.Match(text, literals)) return plan;
  }
  return nullptr;
}

void Connection::BeginWrite() {
  if (db_ == nullptr) ObjectInvalid(source::kDatabase);
  ++write_generation_;
  if (in_transaction_) return;
  int rc = sqlite3_exec(db_.get(), "BEGIN", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) RaiseSqlite(db_.get(), rc, path_);
  in_transaction_ = true;
}

void Connection::Write(const std::string& sql) {
  BeginWrite();
  int rc = sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) RaiseSqlite(db_.get(), rc, path_);
}

void Connection::Commit() {
  if (!in_transaction_) return;
  int rc = sqlite3_exec(db_.get(), "COMMIT", nullptr, nullptr, nullptr);
  in_transaction_ = sqlite3_get_autocommit(db_.get()) == 0;
  if (rc != SQLITE_OK) RaiseSqlite(db_.get(), rc, path_);
}

void Connection::TableChanged(std::string_view table) {
  if (table == last_changed_) return;  // row after row of the same table
  last_changed_ = table;
  changed_tables_.insert(platform::UpperCase(table));
}

std::vector<std::string> Connection::TableNames() {
  if (names_loaded_) return table_names_;
  table_names_.clear();
  Statement& list = Prepare(
      "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' "
      "ESCAPE '\\' ORDER BY rowid");
  while (list.Step()) table_names_.push_back(list.TextColumn(0));
  list.Reset();
  names_loaded_ = true;
  return table_names_;
}

const TableSchema* Connection::Schema(std::string_view table) {
  std::string key = platform::UpperCase(table);
  if (auto found = schemas_.find(key); found != schemas_.end()) return &found->second;
  for (const std::string& name : TableNames()) {
    if (!platform::EqualIgnoringCase(name, table)) continue;
    TableSchema schema{name, {}, {}};
    Statement info(db_.get(), "SELECT name, type FROM pragma_table_info(?1)");
    info.Bind(1, Value::Text(name));
    while (info.Step()) {
      std::string declared = info.TextColumn(1);
      schema.columns.push_back(
          {info.TextColumn(0), FieldTypeOf(declared), HasTextAffinity(declared)});
    }
    Statement keyed(db_.get(),
                    "SELECT i.name FROM pragma_table_list(?1) AS t, pragma_table_info(?1) AS i "
                    "WHERE t.schema = 'main' AND t.wr AND i.pk > 0 ORDER BY i.pk");
    keyed.Bind(1, Value::Text(name));
    while (keyed.Step()) schema.key.push_back(keyed.TextColumn(0));
    return &schemas_.emplace(key, std::move(schema)).first->second;
  }
  return nullptr;
}

void Connection::SchemaChanged() {
  schemas_.clear();
  plans_.clear();
  recent_.clear();
  names_loaded_ = false;
}

void Connection::EnsureLookupIndex(const std::string& name, const std::string& create_sql) {
  if (lookup_indexes_.count(name) != 0) return;
  Write(create_sql);
  lookup_indexes_.insert(name);
}

const Connection::PreparedWrite& Connection::PrepareWrite(std::uint64_t plan_id, bool adds,
                                                          const std::vector<bool>& fields,
                                                          const std::function<std::string()>& sql) {
  for (const PreparedWrite& write : writes_) {
    if (write.plan_id == plan_id && write.adds == adds && write.fields == fields) return write;
  }
  Statement& statement = Prepare(sql());
  return writes_.push_back({plan_id, adds, fields, &statement}), writes_.back();
}

void Connection::DropLookupIndexes() {
  for (const std::string& name : lookup_indexes_) {
    std::string sql = "DROP INDEX IF EXISTS " + DoubleQuoted(name);
    sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr);
  }
  lookup_indexes_.clear();
}

void Connection::DropLeftoverIndexes() {
  std::vector<std::string> leftovers;
  Statement list(db_.get(),
                 "SELECT name FROM sqlite_master WHERE type='index' AND name LIKE "
                 "'zc\\_lookup\\_%' ESCAPE '\\'");
  while (list.Step()) leftovers.push_back(list.TextColumn(0));
  for (const std::string& name : leftovers) Write("DROP INDEX IF EXISTS " + DoubleQuoted(name));
  leftovers_dropped_ = !leftovers.empty();
}

}  // namespace zc::db
