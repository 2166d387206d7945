#include "db/table_def.h"

#include "db/db_failure.h"
#include "db/quoting.h"
#include "platform/ansi_text.h"

namespace zc::db {

void FieldDef::SetName(const std::string& name) {
  if (connection_) {
    connection_->Write("ALTER TABLE " + DoubleQuoted(table_) + " RENAME COLUMN " +
                       DoubleQuoted(name_) + " TO " + DoubleQuoted(name));
    connection_->SchemaChanged();
    connection_->TableChanged(table_);
  }
  name_ = name;
}

const TableSchema& TableDef::StoredSchema() const {
  const TableSchema* schema = connection_->Schema(name_);
  if (schema == nullptr) ObjectInvalid(source::kTableDef);
  return *schema;
}

FieldDef TableDef::CreateField(const std::string& name, std::int16_t type,
                               std::int32_t size) const {
  FieldType field{type, size};
  DeclaredTypeOf(field);  // an unknown type fails here, as the engine does
  return FieldDef(name, field);
}

int TableFields::Count() const {
  if (!table_.stored_) return static_cast<int>(table_.new_fields_.size());
  return static_cast<int>(table_.StoredSchema().columns.size());
}

FieldDef TableFields::operator[](int position) const {
  if (position < 0 || position >= Count()) ItemNotFound(source::kFields);
  if (!table_.stored_) return table_.new_fields_[position];
  const ColumnInfo& column = table_.StoredSchema().columns[position];
  FieldDef field(column.name, column.type);
  field.connection_ = table_.connection_;
  field.table_ = table_.name_;
  return field;
}

FieldDef TableFields::operator[](std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    FieldDef field = (*this)[i];
    if (platform::EqualIgnoringCase(field.Name(), name)) return field;
  }
  ItemNotFound(source::kFields);
}

void TableFields::Append(const FieldDef& field) {
  for (int i = 0; i < Count(); ++i) {
    if (platform::EqualIgnoringCase((*this)[i].Name(), field.Name())) {
      Fail(code::kDuplicateField, "Cannot define field more than once.", source::kFields);
    }
  }
  if (!table_.stored_) {
    table_.new_fields_.push_back(FieldDef(field.Name(), field.type_));
    return;
  }
  table_.connection_->Write("ALTER TABLE " + DoubleQuoted(table_.name_) + " ADD COLUMN " +
                            DoubleQuoted(field.Name()) + " " + DeclaredTypeOf(field.type_));
  table_.connection_->SchemaChanged();
  table_.connection_->TableChanged(table_.name_);
}

void TableFields::Refresh() {
  if (table_.stored_) table_.connection_->SchemaChanged();
}

int TableDefs::Count() const { return static_cast<int>(connection_->TableNames().size()); }

TableDef TableDefs::operator[](int position) const {
  std::vector<std::string> names = connection_->TableNames();
  if (position < 0 || position >= static_cast<int>(names.size())) ItemNotFound(source::kTableDefs);
  return TableDef::Stored(connection_, names[position]);
}

TableDef TableDefs::operator[](std::string_view name) const {
  const TableSchema* schema = connection_->Schema(name);
  if (schema == nullptr) ItemNotFound(source::kTableDefs);
  return TableDef::Stored(connection_, schema->name);
}

void TableDefs::Delete(std::string_view name) {
  TableDef table = (*this)[name];
  connection_->Write("DROP TABLE " + DoubleQuoted(table.Name()));
  connection_->SchemaChanged();
  connection_->TableChanged(table.Name());
}

void TableDefs::Append(TableDef& table) {
  if (table.stored_ || connection_->Schema(table.Name()) != nullptr) {
    Fail(code::kTableExists, "Table '" + table.Name() + "' already exists.", source::kTableDefs);
  }
  if (table.new_fields_.empty()) {
    Fail(code::kNoFieldDefined, "No field defined--cannot append TableDef or Index.",
         source::kTableDefs);
  }
  // Exactly the fields' declared types: no key, index, default or constraint.
  std::string sql = "CREATE TABLE " + DoubleQuoted(table.Name()) + " (";
  for (size_t i = 0; i < table.new_fields_.size(); ++i) {
    const FieldDef& field = table.new_fields_[i];
    sql += (i ? ", " : "") + DoubleQuoted(field.Name()) + " " + DeclaredTypeOf(field.type_);
  }
  connection_->Write(sql + ")");
  connection_->SchemaChanged();
  connection_->TableChanged(table.Name());
  table.stored_ = true;
  table.new_fields_.clear();
}

void TableDefs::Refresh() { connection_->SchemaChanged(); }

}  // namespace zc::db
