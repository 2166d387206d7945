// Prepared SQLite statements, and the failures SQLite's result codes stand for.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/field_type.h"
#include "db/value.h"

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace zc::db {

// The values of a row's primary key exactly as stored, whatever their types,
// so that a row of a table without rowids is found again by them.
using StoredKey = std::vector<std::shared_ptr<sqlite3_value>>;

// A prepared statement, reset and unbound after every use.
class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // kCopied: SQLite keeps a copy of a text. kHeld: the value stays as it
  // is until Reset(), so its text is read where it lies.
  enum Binding { kCopied, kHeld };
  void Bind(int index, const Value& value, Binding binding = kCopied);
  void BindInteger(int index, std::int64_t value);
  void BindKey(int first_index, const StoredKey& key);
  bool Step();  // true while a row is there; raises on failure
  std::int64_t IntegerColumn(int column);
  std::string TextColumn(int column);
  Value ColumnAs(int column, FieldType type);
  // The values of `count` columns from `first` on, as stored.
  StoredKey KeyColumns(int first, int count);
  void Reset();

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Raises the failure that matches a SQLite result code.
[[noreturn]] void RaiseSqlite(sqlite3* db, int code, const std::string& what);

}  // namespace zc::db
