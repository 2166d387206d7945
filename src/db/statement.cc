#include "db/statement.h"

#include <sqlite3.h>

#include <new>

#include "db/db_failure.h"

namespace zc::db {

void RaiseSqlite(sqlite3* db, int code, const std::string& what) {
  switch (code & 0xFF) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      Fail(code::kNotADatabase, "Unrecognized database format '" + what + "'.", source::kEngine);
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
      Fail(code::kCannotOpen,
           "The file '" + what +
               "' cannot be written: it is read-only or in use by another "
               "program.",
           source::kDatabase);
    case SQLITE_FULL:
      Fail(code::kGeneric, "Not enough space on disk to write '" + what + "'.", source::kDatabase);
    default:
      Fail(code::kGeneric,
           "Database error in '" + what + "': " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(code)),
           source::kDatabase);
  }
}

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
  int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
  if (rc != SQLITE_OK) RaiseSqlite(db, rc, sqlite3_db_filename(db, "main"));
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::Bind(int index, const Value& value, Binding binding) {
  switch (value.kind()) {
    case Value::Kind::kNull:
      sqlite3_bind_null(stmt_, index);
      break;
    case Value::Kind::kBoolean:
      sqlite3_bind_int(stmt_, index, value.AsBoolean() ? -1 : 0);
      break;
    case Value::Kind::kNumber:
      if (value.IsInteger()) {
        sqlite3_bind_int64(stmt_, index, value.AsInteger());
      } else {
        sqlite3_bind_double(stmt_, index, value.AsNumber());
      }
      break;
    default: {
      const std::string& text = value.AsText();
      sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                        binding == kHeld ? SQLITE_STATIC : SQLITE_TRANSIENT);
    }
  }
}

void Statement::BindInteger(int index, std::int64_t value) {
  sqlite3_bind_int64(stmt_, index, value);
}

void Statement::BindKey(int first_index, const StoredKey& key) {
  for (size_t i = 0; i < key.size(); ++i) {
    sqlite3_bind_value(stmt_, first_index + static_cast<int>(i), key[i].get());
  }
}

bool Statement::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  std::string file = sqlite3_db_filename(db_, "main");
  Reset();
  RaiseSqlite(db_, rc, file);
}

std::int64_t Statement::IntegerColumn(int column) { return sqlite3_column_int64(stmt_, column); }

std::string Statement::TextColumn(int column) {
  auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  return text ? std::string(text, sqlite3_column_bytes(stmt_, column)) : std::string();
}

Value Statement::ColumnAs(int column, FieldType field) {
  int stored = sqlite3_column_type(stmt_, column);
  if (stored == SQLITE_NULL) return Value();
  switch (field.type) {
    case type::kBoolean:
      return Value::Boolean(sqlite3_column_double(stmt_, column) != 0);
    case type::kByte:
    case type::kInteger:
    case type::kLong:
    case type::kCurrency:
    case type::kSingle:
    case type::kDouble:
    case type::kDecimal:
      if (stored == SQLITE_INTEGER) return Value::Integer(IntegerColumn(column));
      if (stored == SQLITE_FLOAT) return Value::Number(sqlite3_column_double(stmt_, column));
      return Value::Text(TextColumn(column));  // a foreign file may hold text here; keep it
    case type::kDate:
      if (stored == SQLITE_TEXT) return Value::Date(TextColumn(column));
      return Value::Number(sqlite3_column_double(stmt_, column));
    default:
      if (stored == SQLITE_FLOAT)
        return Value::Text(NumberToText(sqlite3_column_double(stmt_, column)));
      return Value::Text(TextColumn(column));
  }
}

StoredKey Statement::KeyColumns(int first, int count) {
  StoredKey key;
  for (int i = first; i < first + count; ++i) {
    sqlite3_value* copy = sqlite3_value_dup(sqlite3_column_value(stmt_, i));
    if (copy == nullptr) throw std::bad_alloc();
    key.emplace_back(copy, sqlite3_value_free);
  }
  return key;
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

}  // namespace zc::db
