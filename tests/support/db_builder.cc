#include "support/db_builder.h"

#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>

#include "errors/failure.h"
#include "presets/db/connection.h"
#include "presets/db/jet_export.h"
#include "presets/db/jet_import.h"
#include "jet/format.h"
#include "support/jet_page_check.h"
#include "presets/db/quoting.h"
#include "support/temp_project.h"

namespace zc::testing {
namespace {

struct Db {
  explicit Db(const std::string& path) {
    if (sqlite3_open(path.c_str(), &handle) != SQLITE_OK) throw std::runtime_error("open " + path);
  }
  ~Db() { sqlite3_close(handle); }
  void Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      std::string text = error ? error : "?";
      sqlite3_free(error);
      throw std::runtime_error(text + " in " + sql);
    }
  }
  sqlite3* handle = nullptr;
};

}  // namespace

int FailureNumber(const std::function<void()>& action) {
  try {
    action();
  } catch (const Failure& failure) {
    return failure.number;
  }
  return 0;
}

void BuildDatabase(const std::string& path, const std::vector<TableSpec>& tables) {
  std::filesystem::create_directories(PathOf(path).parent_path());
  std::filesystem::remove(PathOf(path));
  Db db(path);
  db.Exec("BEGIN");
  for (const TableSpec& table : tables) {
    std::string create = "CREATE TABLE " + db::DoubleQuoted(table.name) + " (";
    std::string insert = "INSERT INTO " + db::DoubleQuoted(table.name) + " VALUES (";
    for (size_t i = 0; i < table.columns.size(); ++i) {
      create += (i ? ", " : "") + db::DoubleQuoted(table.columns[i].first) + " " +
                table.columns[i].second;
      insert += i ? ", ?" : "?";
    }
    db.Exec(create + ")");
    db::Statement statement(db.handle, insert + ")");
    for (const Row& row : table.rows) {
      for (size_t i = 0; i < row.size(); ++i) statement.Bind(static_cast<int>(i + 1), row[i]);
      statement.Step();
      statement.Reset();
    }
  }
  db.Exec("COMMIT");
}

std::vector<std::pair<std::string, std::string>> ColumnsOf(const std::string& path,
                                                           const std::string& table) {
  Db db(path);
  db::Statement info(db.handle, "SELECT name, type FROM pragma_table_info(?1)");
  info.Bind(1, db::Value::Text(table));
  std::vector<std::pair<std::string, std::string>> columns;
  while (info.Step()) columns.emplace_back(info.TextColumn(0), info.TextColumn(1));
  return columns;
}

std::vector<Row> ReadTable(const std::string& path, const std::string& table) {
  auto columns = ColumnsOf(path, table);
  Db db(path);
  db::Statement select(db.handle, "SELECT * FROM " + db::DoubleQuoted(table) + " ORDER BY rowid");
  std::vector<Row> rows;
  while (select.Step()) {
    Row row;
    for (size_t i = 0; i < columns.size(); ++i) {
      row.push_back(select.ColumnAs(static_cast<int>(i), db::FieldTypeOf(columns[i].second)));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

namespace {

bool IsAccessFile(const std::string& path) {
  const jet::FileKind kind = jet::KindOfFile(path);
  return kind == jet::FileKind::kJet3 || kind == jet::FileKind::kJet4;
}

// An Access file's tables in a SQLite file beside it, removed at the end.
struct AsSqlite {
  explicit AsSqlite(const std::string& access) : path(access + ".check.sqlite") {
    std::filesystem::remove(path);
    jet::ConvertJetToSqlite(access, path);
  }
  ~AsSqlite() { std::filesystem::remove(path); }
  std::string path;
};

}  // namespace

std::string DumpDatabase(const std::string& path, const std::vector<std::string>& only) {
  if (IsAccessFile(path)) return DumpDatabase(AsSqlite(path).path, only);
  Db db(path);
  std::vector<std::string> tables = only;
  if (tables.empty()) {
    db::Statement list(db.handle,
                       "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name");
    while (list.Step()) tables.push_back(list.TextColumn(0));
  }
  std::string dump;
  for (const std::string& table : tables) {
    dump += "[" + table + "]\n";
    std::string columns;  // each value after its storage class
    int count = 0;
    for (const auto& [name, declared] : ColumnsOf(path, table)) {
      columns += (count++ ? ", typeof(" : "typeof(") + db::DoubleQuoted(name) + "), " +
                 db::DoubleQuoted(name);
    }
    db::Statement rows(
        db.handle, "SELECT " + columns + " FROM " + db::DoubleQuoted(table) + " ORDER BY rowid");
    while (rows.Step()) {
      for (int i = 0; i < 2 * count; i += 2) {
        dump += rows.TextColumn(i) + ":" + rows.TextColumn(i + 1) + "|";
      }
      dump += "\n";
    }
  }
  return dump;
}

std::string IntegrityCheck(const std::string& path) {
  if (!IsAccessFile(path)) return QueryText(path, "PRAGMA integrity_check");
  try {
    AsSqlite readable(path);
  } catch (const std::exception& error) {
    return error.what();
  }
  std::vector<std::string> problems = PageMapProblems(path);
  return problems.empty() ? "ok" : problems.front();
}

std::string QueryText(const std::string& path, const std::string& sql) {
  Db db(path);
  db::Statement query(db.handle, sql);
  return query.Step() ? query.TextColumn(0) : "";
}

std::vector<std::pair<std::string, std::string>> PresetColumns(
    const std::vector<std::string>& additional) {
  // `part` stands before `var_name`: the names are built from it.
  std::vector<std::pair<std::string, std::string>> columns = {{"ID", "LONG"},
                                                              {"part", "SHORT"},
                                                              {"machine_type", "TEXT(50)"},
                                                              {"type", "TEXT(20)"},
                                                              {"var_name", "TEXT(255)"},
                                                              {"category_id", "LONG"},
                                                              {"isBitArray", "BIT"},
                                                              {"offset_or_bitno", "LONG"},
                                                              {"text", "TEXT(255)"},
                                                              {"page_name", "TEXT(50)"},
                                                              {"abs_min", "DOUBLE"},
                                                              {"abs_max", "DOUBLE"},
                                                              {"min", "DOUBLE"},
                                                              {"max", "DOUBLE"},
                                                              {"pass", "SHORT"}};
  for (const std::string& name : additional) columns.emplace_back(name, "TEXT(50)");
  return columns;
}

void BuildAccessDatabase(const std::string& path, const std::vector<TableSpec>& tables) {
  const std::string sqlite = path + ".sqlite";
  BuildDatabase(sqlite, tables);
  std::filesystem::remove(path);
  jet::ConvertSqliteToJet(sqlite, path);
  std::filesystem::remove(sqlite);
}

std::vector<Row> ReadAccessTable(const std::string& path, const std::string& table) {
  return ReadTable(AsSqlite(path).path, table);
}

}  // namespace zc::testing
