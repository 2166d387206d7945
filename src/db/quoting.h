// Double quotes around a text, each double quote inside doubled: how SQLite
// quotes a table, column or index name, and how a Jet query writes a text
// literal.
#pragma once

#include <string>
#include <string_view>

namespace zc::db {

inline std::string DoubleQuoted(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

}  // namespace zc::db
