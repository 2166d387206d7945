#pragma once

#include <string>
#include <string_view>

namespace zc::db {

// A table, column or index name quoted for SQLite.
inline std::string QuoteName(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

}  // namespace zc::db
