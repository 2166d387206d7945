// Shared by the Jet tests: the sample files, and reading converted files back
// through the sqlite3 C API.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "errors/failure.h"
#include "support/temp_project.h"

namespace zc::jet::test_support {

using zc::testing::ReadFile;
using zc::testing::TempDir;
using zc::testing::WriteFile;
using Expected = std::variant<std::nullptr_t, std::int64_t, double, std::string>;
using Rows = std::vector<std::vector<Expected>>;
using Pairs = std::vector<std::pair<std::string, std::string>>;

inline std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator) {
      parts.emplace_back();
    } else {
      parts.back().push_back(c);
    }
  }
  return parts;
}

inline std::string Fixture(const std::string& name) {
  return std::string(ZC_JET_TESTDATA) + "/" + name;
}
inline std::string FixtureBytes(const std::string& name, std::size_t length = std::string::npos) {
  return ReadFile(Fixture(name)).substr(0, length);
}
inline std::string WithAceHeader(std::string bytes) {
  return bytes.replace(4, 15, "Standard ACE DB");
}
inline std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// The failure an action throws; number 0 when it throws none.
inline Failure FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Failure& failure) {
    return failure;
  }
  return Failure(0, "");
}

// Reads a converted file back through the sqlite3 C API. Integers and reals
// come as Expected values, so that a test compares storage classes too.
inline Rows Query(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_stmt* statement = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
  Rows rows;
  while (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW) {
    auto& row = rows.emplace_back();
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      switch (sqlite3_column_type(statement, i)) {
        case SQLITE_NULL:
          row.emplace_back(nullptr);
          break;
        case SQLITE_INTEGER:
          row.emplace_back(std::int64_t{sqlite3_column_int64(statement, i)});
          break;
        case SQLITE_FLOAT:
          row.emplace_back(sqlite3_column_double(statement, i));
          break;
        default:
          row.emplace_back(
              std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, i)),
                          sqlite3_column_bytes(statement, i)));
      }
    }
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return rows;
}

inline Pairs Fields(const std::string& path, const std::string& table) {
  Pairs fields;
  for (auto& row : Query(path, "SELECT name, type FROM pragma_table_info('" + table + "')")) {
    fields.emplace_back(std::get<std::string>(row[0]), std::get<std::string>(row[1]));
  }
  return fields;
}

inline Pairs TablesWithRowCounts(const std::string& path) {
  Pairs tables;
  for (auto& row : Query(path, "SELECT name FROM sqlite_master ORDER BY rowid")) {
    const auto& name = std::get<std::string>(row[0]);
    auto count = Query(path, "SELECT COUNT(*) FROM " + Quoted(name))[0][0];
    tables.emplace_back(name, std::to_string(std::get<std::int64_t>(count)));
  }
  return tables;
}

inline std::set<std::string> FolderContents(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// Runs a command; returns its exit status and its output (both streams).
inline int RunCommand(const std::string& command, std::string& output) {
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  char buffer[4096];
  output.clear();
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, n);
  int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace zc::jet::test_support
