// Rows of one table, or of a query over one table, that can be read, edited
// and added to. The row list is taken when first needed, so opening a table
// only to look at its fields costs nothing; row values are read on demand.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/connection.h"
#include "db/query_plan.h"
#include "db/value.h"

namespace zc::db {

class Recordset;

// One field of a record set: its name and type, and its value in the current
// row, or in the row being edited or added.
class RecordField {
 public:
  RecordField(Recordset& rs, int position) : rs_(rs), position_(position) {}
  const std::string& Name() const;
  FieldType Type() const;
  int position() const { return position_; }
  Value GetValue() const;
  // The same value without a copy, valid until the record set moves or changes.
  const Value& CurrentValue() const;
  void SetValue(Value value);

 private:
  Recordset& rs_;
  int position_;
};

class RecordFields {
 public:
  explicit RecordFields(Recordset& rs) : rs_(rs) {}
  int Count() const;
  RecordField operator[](int position) const;
  // By name, without regard to case; raises "Item not found in this collection."
  RecordField operator[](std::string_view name) const;

 private:
  Recordset& rs_;
};

class Recordset {
 public:
  // `literals` are the values of the plan's parameters ?1, ?2, ...
  Recordset(std::shared_ptr<Connection> connection, std::shared_ptr<const QueryPlan> plan,
            std::vector<Value> literals);

  std::int64_t RecordCount();
  bool Eof();
  void MoveFirst();
  void MoveNext();
  void MoveLast();
  RecordFields Fields() { return RecordFields(*this); }
  void AddNew();
  void Edit();
  void Update();
  void Close();

 private:
  friend class RecordField;
  friend class RecordFields;
  enum class Mode { kNone, kEdit, kAddNew };

  Connection& Open();
  std::vector<std::int64_t>& Rows();
  const std::vector<Value>& CurrentRow();
  void ReadAhead(Connection& connection);
  // Notes the row a statement names (its rowid, or its key) and returns its number.
  std::int64_t NoteRow(Statement& statement);
  const Value& Get(int position);
  void Set(int position, Value value);
  int Position(std::string_view name) const;
  std::string InsertSql() const;
  std::string UpdateSql() const;
  Statement& WriteStatement();
  const std::vector<ColumnInfo>& fields() const { return plan_->fields; }

  std::shared_ptr<Connection> connection_;
  std::shared_ptr<const QueryPlan> plan_;
  std::vector<Value> literals_;
  std::optional<std::vector<std::int64_t>> rowids_;
  // In a table without rowids: the key of each row, by the number rowids_ holds.
  std::vector<StoredKey> keys_;
  size_t position_ = 0;
  // Rows read ahead from position ahead_start_ on: reading row by row in
  // order costs one statement per batch rather than one per row.
  std::vector<std::optional<std::vector<Value>>> ahead_;
  size_t ahead_start_ = 0;
  std::uint64_t ahead_generation_ = 0;
  Mode mode_ = Mode::kNone;
  std::vector<Value> buffer_;
  std::vector<bool> changed_;
  // The connection's statement for the last write.
  const Connection::PreparedWrite* last_write_ = nullptr;
  bool closed_ = false;
};

}  // namespace zc::db
