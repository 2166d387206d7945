// Double quotes around a text, each double quote inside doubled: how SQLite
// quotes a table, column or index name, and how a Jet query writes a text
// literal.
#pragma once

#include <string>
#include <string_view>

namespace zc::db {

inline std::string DoubleQuoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  // Copied a stretch at a time: every per-row query quotes its key texts.
  for (size_t quote; (quote = text.find('"')) != std::string_view::npos;) {
    quoted.append(text.substr(0, quote + 1)) += '"';
    text.remove_prefix(quote + 1);
  }
  quoted.append(text) += '"';
  return quoted;
}

}  // namespace zc::db
