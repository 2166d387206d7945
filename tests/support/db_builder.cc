#include "support/db_builder.h"

#include <sqlite3.h>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "db/jet_export.h"
#include "db/jet_import.h"
#include "db/quoting.h"
#include "db/statement.h"
#include "jet/catalog.h"
#include "jet/format.h"
#include "jet/page_file.h"
#include "jet/table_definition.h"
#include "jet/usage_map.h"
#include "support/temp_project.h"

namespace zc::testing {
namespace {

using namespace zc::jet;

// A file that exists, or with `create` a new one.
struct Db {
  explicit Db(const std::string& path, bool create = false) {
    int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.c_str(), &handle, flags, nullptr) != SQLITE_OK) {
      sqlite3_close(handle);
      throw std::runtime_error("cannot open " + path);
    }
  }
  ~Db() { sqlite3_close(handle); }
  void Exec(const std::string& sql) { db::Statement(handle, sql).Step(); }
  sqlite3* handle = nullptr;
};

bool IsAccessFile(const std::string& path) {
  const jet::FileKind kind = jet::KindOfFile(path);
  return kind == jet::FileKind::kJet3 || kind == jet::FileKind::kJet4;
}

// An Access file's tables in a SQLite file beside it, removed at the end.
struct AsSqlite {
  explicit AsSqlite(const std::string& access) : path(access + ".check.sqlite") {
    std::filesystem::remove(path);
    db::ConvertJetToSqlite(access, path);
  }
  ~AsSqlite() { std::filesystem::remove(path); }
  std::string path;
};

class Claims {
 public:
  explicit Claims(PageFile& file) : file_(file) {}
  void Claim(std::uint32_t page, const std::string& by) {
    if (page >= file_.page_count()) {
      problems.push_back(by + " claims page " + std::to_string(page) + " beyond the end");
    } else if (auto [at, added] = owner.emplace(page, by); !added && at->second != by) {
      problems.push_back("page " + std::to_string(page) + " claimed by " + at->second + " and " +
                         by);
    }
  }
  // The map's row page, its bitmap pages, and what it lists.
  std::vector<std::uint32_t> Map(RowId where, const std::string& by) {
    if (where.page == 0) return {};
    Claim(where.page, "usage maps");
    const UsageMap map = ReadUsageMap(file_, where);
    for (std::uint32_t bitmap : map.bitmap_pages) {
      if (bitmap != 0) Claim(bitmap, "bitmaps of " + by);
    }
    return map.pages;
  }
  void Table(std::uint32_t first, const std::string& name) {
    const TableDefinition t = ReadTableDefinition(file_, first);
    for (std::uint32_t page : t.pages) Claim(page, "definition of " + name);
    for (std::uint32_t page : Map(t.owned_map, name)) Claim(page, "rows of " + name);
    Map(t.free_map, name);
    for (const RealIndex& index : t.real_indexes) {
      for (std::uint32_t page : Map(index.usage_map, name)) Claim(page, "index of " + name);
      Claim(index.root, "index of " + name);
    }
    for (const ColumnMaps& maps : t.column_maps) {
      for (std::uint32_t page : Map(maps.owned, name)) Claim(page, "long values of " + name);
      Map(maps.free, name);
    }
  }
  PageFile& file_;
  std::map<std::uint32_t, std::string> owner;
  std::vector<std::string> problems;
};

}  // namespace

Failure FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Failure& failure) {
    return failure;
  }
  return Failure(0, "");
}

void BuildDatabase(const std::string& path, const std::vector<TableSpec>& tables) {
  std::filesystem::create_directories(PathOf(path).parent_path());
  std::filesystem::remove(PathOf(path));
  Db db(path, true);
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

void BuildAccessDatabase(const std::string& path, const std::vector<TableSpec>& tables) {
  const std::string sqlite = path + ".sqlite";
  BuildDatabase(sqlite, tables);
  std::filesystem::remove(path);
  db::ConvertSqliteToJet(sqlite, path);
  std::filesystem::remove(sqlite);
}

Columns ColumnsOf(const std::string& path, const std::string& table) {
  Db db(path);
  db::Statement info(db.handle, "SELECT name, type FROM pragma_table_info(?1)");
  info.Bind(1, db::Value::Text(table));
  Columns columns;
  while (info.Step()) columns.emplace_back(info.TextColumn(0), info.TextColumn(1));
  return columns;
}

static std::vector<Row> Read(const std::string& path, const std::string& table, bool as_stored) {
  auto columns = ColumnsOf(path, table);
  Db db(path);
  db::Statement select(db.handle, "SELECT * FROM " + db::DoubleQuoted(table) + " ORDER BY rowid");
  std::vector<Row> rows;
  while (select.Step()) {
    Row& row = rows.emplace_back();
    for (size_t i = 0; i < columns.size(); ++i) {
      // A number field gives each value as stored.
      db::FieldType type =
          as_stored ? db::FieldType{db::type::kDouble, 8} : db::FieldTypeOf(columns[i].second);
      row.push_back(select.ColumnAs(static_cast<int>(i), type));
    }
  }
  return rows;
}

std::vector<Row> ReadTable(const std::string& path, const std::string& table) {
  return Read(path, table, false);
}
std::vector<Row> ReadStored(const std::string& path, const std::string& table) {
  return Read(path, table, true);
}

std::vector<Row> ReadAccessTable(const std::string& path, const std::string& table) {
  return ReadTable(AsSqlite(path).path, table);
}

std::string DumpDatabase(const std::string& path, const std::vector<std::string>& only) {
  if (IsAccessFile(path)) return DumpDatabase(AsSqlite(path).path, only);
  std::vector<std::string> tables = only;
  if (tables.empty()) {
    for (const Row& row : ReadTable(path, "sqlite_master")) {
      if (row[0].AsText() == "table") tables.push_back(row[1].AsText());
    }
    std::sort(tables.begin(), tables.end());
  }
  std::string dump;
  for (const std::string& table : tables) {
    dump += "[" + table + "]\n";
    for (const Row& row : ReadStored(path, table)) {
      for (const db::Value& value : row) dump += (value.IsNull() ? "<null>" : value.ToText()) + "|";
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

Columns PresetColumns(const std::vector<std::string>& additional) {
  // `part` stands before `var_name`: the names are built from it.
  Columns columns;
  for (std::string field :
       {"ID LONG", "part SHORT", "machine_type TEXT(50)", "type TEXT(20)", "var_name TEXT(255)",
        "category_id LONG", "isBitArray BIT", "offset_or_bitno LONG", "text TEXT(255)",
        "page_name TEXT(50)", "abs_min DOUBLE", "abs_max DOUBLE", "min DOUBLE", "max DOUBLE",
        "pass SHORT"}) {
    columns.emplace_back(field.substr(0, field.find(' ')), field.substr(field.find(' ') + 1));
  }
  for (const std::string& name : additional) columns.emplace_back(name, "TEXT(50)");
  return columns;
}

// --- Access files ---

std::string Fixture(const std::string& name) { return std::string(ZC_JET_TESTDATA) + "/" + name; }

#ifndef _WIN32  // the tools are run on POSIX systems only
int RunCommand(const std::string& command, std::string& output) {
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  char buffer[4096];
  output.clear();
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, n);
  int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

std::set<std::string> FolderContents(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::vector<std::string> PageMapProblems(const std::string& path) {
  PageFile file(path, false);
  Claims claims(file);
  claims.Claim(0, "the header");
  claims.Claim(1, "the map of free pages");
  const TableDefinition catalog = ReadTableDefinition(file, kCatalogPage);
  claims.Table(kCatalogPage, "MSysObjects");
  for (const CatalogEntry& entry : ReadCatalog(file, catalog)) {
    if (entry.type == object_type::kTable && entry.DefinitionPage() != kCatalogPage) {
      claims.Table(entry.DefinitionPage(), entry.name);
    }
  }
  const UsageMap free_pages = ReadUsageMap(file, {1, 0});
  for (std::uint32_t bitmap : free_pages.bitmap_pages) {
    if (bitmap != 0) claims.Claim(bitmap, "bitmaps of the map of free pages");
  }
  for (std::uint32_t page : free_pages.pages) {
    if (page >= file.page_count()) continue;
    if (claims.owner.count(page))
      claims.problems.push_back("page " + std::to_string(page) + " is free and used");
    claims.owner.emplace(page, "free");
  }
  for (std::uint32_t page = 0; page < file.page_count(); ++page) {
    if (claims.owner.count(page)) continue;
    const Blob bytes = file.Read(page);
    const bool long_value = bytes[0] == page_type::kData && bytes[4] == 'L' && bytes[5] == 'V';
    if (!(long_value && !file.format().jet4))
      claims.problems.push_back("page " + std::to_string(page) + " is claimed by nothing");
  }
  return claims.problems;
}

}  // namespace zc::testing
