// What the layer knows of a stored table: its name and its columns with their
// types, read from the file once and kept until the schema changes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/field_type.h"
#include "platform/ansi_text.h"

namespace zc::db {

struct ColumnInfo {
  std::string name;  // as stored
  FieldType type;    // from the declared type, e.g. TEXT(50)
  // SQLite keeps nothing but texts (and Nulls and blobs) in it: its declared
  // type gives it text affinity.
  bool stores_text = false;
};

struct TableSchema {
  std::string name;  // as stored
  std::vector<ColumnInfo> columns;
  // A table made without rowids: its primary key's columns, by which its
  // rows are found; empty for an ordinary table.
  std::vector<std::string> key;

  // Position of a column, names compared without regard to case; -1 if none.
  int Find(std::string_view column) const {
    for (size_t i = 0; i < columns.size(); ++i) {
      if (platform::EqualIgnoringCase(columns[i].name, column)) return static_cast<int>(i);
    }
    return -1;
  }
};

}  // namespace zc::db
