// Prepared SQLite statements, and the failures SQLite's result codes stand for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "presets/db/field_type.h"
#include "presets/db/value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zc::db {

// A prepared statement, reset and unbound after every use.
class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void Bind(int index, const Value& value);
  void BindInteger(int index, std::int64_t value);
  bool Step();  // true while a row is there; raises on failure
  std::int64_t IntegerColumn(int column);
  std::string TextColumn(int column);
  Value ColumnAs(int column, FieldType type);
  void Reset();

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Raises the failure that matches a SQLite result code.
[[noreturn]] void RaiseSqlite(sqlite3* db, int code, const std::string& what);

}  // namespace zc::db
