// Table definitions and their fields: what the preparation needs to drop and
// re-create a table with another table's fields, and to rename a field.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/connection.h"

namespace zc::db {

class TableDef;

// A field of a table definition. Renaming a field of an existing table
// renames it in place and keeps its data.
class FieldDef {
 public:
  FieldDef(std::string name, FieldType type) : name_(std::move(name)), type_(type) {}

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  std::int16_t Type() const { return type_.type; }
  std::int32_t Size() const { return type_.size; }
  // A new field takes the digits of another Decimal field; CreateField gives
  // every Decimal field the engine's default of 18 digits, none after the point.
  void CopyDecimalPlaces(const FieldDef& from) {
    type_.precision = from.type_.precision;
    type_.scale = from.type_.scale;
  }

 private:
  friend class TableFields;
  friend class TableDefs;
  std::string name_;
  FieldType type_;
  std::shared_ptr<Connection> connection_;  // set for a field of a stored table
  std::string table_;
};

class TableFields {
 public:
  explicit TableFields(TableDef& table) : table_(table) {}
  int Count() const;
  FieldDef operator[](int position) const;
  FieldDef operator[](std::string_view name) const;
  void Append(const FieldDef& field);
  void Refresh();

 private:
  TableDef& table_;
};

class TableDef {
 public:
  // A stored table.
  static TableDef Stored(std::shared_ptr<Connection> connection, std::string name) {
    return TableDef(std::move(connection), std::move(name), true);
  }
  // A new definition, stored by TableDefs::Append.
  static TableDef New(std::shared_ptr<Connection> connection, std::string name) {
    return TableDef(std::move(connection), std::move(name), false);
  }

  const std::string& Name() const { return name_; }
  TableFields Fields() { return TableFields(*this); }
  FieldDef CreateField(const std::string& name, std::int16_t type, std::int32_t size) const;

 private:
  friend class TableFields;
  friend class TableDefs;
  TableDef(std::shared_ptr<Connection> connection, std::string name, bool stored)
      : connection_(std::move(connection)), name_(std::move(name)), stored_(stored) {}
  const TableSchema& StoredSchema() const;

  std::shared_ptr<Connection> connection_;
  std::string name_;
  bool stored_;
  std::vector<FieldDef> new_fields_;
};

// The tables of a database.
class TableDefs {
 public:
  explicit TableDefs(std::shared_ptr<Connection> connection) : connection_(std::move(connection)) {}
  int Count() const;
  TableDef operator[](int position) const;
  TableDef operator[](std::string_view name) const;  // without regard to case
  void Delete(std::string_view name);                // the table and its data go
  void Append(TableDef& table);
  void Refresh();

 private:
  std::shared_ptr<Connection> connection_;
};

}  // namespace zc::db
