// Test databases from a readable description: tables with their declared
// column types and rows. Written and read back with plain SQLite, so tests
// see the files exactly as any SQLite tool would. And Access (Jet) files:
// the sample files, the tools that read them the way other programs do, and
// the check that every page of a file is accounted for exactly once.
#pragma once

#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "db/value.h"
#include "errors/failure.h"

namespace zc::db {
// Readable test failures: values as text with their kind.
inline void PrintTo(const Value& value, std::ostream* out) {
  static const char* kKinds[] = {"Null", "Boolean", "Number", "Text", "Date"};
  *out << kKinds[static_cast<int>(value.kind())] << "(" << value.ToText() << ")";
}
}  // namespace zc::db

namespace zc::testing {

using Row = std::vector<db::Value>;
using Columns = std::vector<std::pair<std::string, std::string>>;  // name, declared type

struct TableSpec {
  std::string name;
  Columns columns;
  std::vector<Row> rows;
};

inline db::Value T(std::string text) { return db::Value::Text(std::move(text)); }
inline db::Value I(std::int64_t n) { return db::Value::Integer(n); }
inline db::Value D(double n) { return db::Value::Number(n); }
inline db::Value B(bool b) { return db::Value::Boolean(b); }
inline db::Value Null() { return db::Value(); }

// The failure an action raises; number 0 when it raises none.
Failure FailureOf(const std::function<void()>& action);

// Creates (or replaces) a database file holding exactly these tables.
void BuildDatabase(const std::string& path, const std::vector<TableSpec>& tables);
// The same as an Access 2000 (Jet 4) file, written by the program's own
// Jet code (through a SQLite file beside it, which is removed again).
void BuildAccessDatabase(const std::string& path, const std::vector<TableSpec>& tables);

// A table's rows in stored order, typed by their declared column types.
std::vector<Row> ReadTable(const std::string& path, const std::string& table);
// The same with each value in its storage class (integer, real, text, Null),
// so that a test compares storage classes too.
std::vector<Row> ReadStored(const std::string& path, const std::string& table);
// A table of an Access file as ReadTable gives it.
std::vector<Row> ReadAccessTable(const std::string& path, const std::string& table);
// A table's columns: name and declared type, in order.
Columns ColumnsOf(const std::string& path, const std::string& table);
// Every table with every row, as text, tables by name and rows as stored:
// two files with the same dump hold the same data. Access files too.
// With `only`, just those tables.
std::string DumpDatabase(const std::string& path, const std::vector<std::string>& only = {});
// SQLite's own check of a file: "ok" when it is sound. An Access file is
// "ok" when every table reads and every page is accounted for.
std::string IntegrityCheck(const std::string& path);
// Runs one query and returns the first column of the first row as text.
std::string QueryText(const std::string& path, const std::string& sql);

// The preset table's fields as a template holds them (ID, part, machine_type,
// type, var_name, category_id, isBitArray, offset_or_bitno, text, page_name,
// abs_min, abs_max, min, max, pass), then any additional fields (TEXT(50)).
Columns PresetColumns(const std::vector<std::string>& additional = {});

// --- Access files ---

// The path of a sample file of src/db/testdata.
std::string Fixture(const std::string& name);

// Runs a shell command; returns its exit status and its output (both streams).
int RunCommand(const std::string& command, std::string& output);

// The names in a folder.
std::set<std::string> FolderContents(const std::string& folder);

// What is wrong with the file's page maps; empty when nothing is. Every page
// must be claimed exactly once: by a table's definition or usage maps, an
// index, a memo column's maps, or the map of free pages and its bitmap
// pages. Another Jet engine that writes into the file relies on exactly
// this. Jet 3's long-value pages, which that format tracks nowhere, are left
// out.
std::vector<std::string> PageMapProblems(const std::string& path);

}  // namespace zc::testing
