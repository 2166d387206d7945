// The query translator on arbitrary query texts: shape, parse and plan against
// a fixed schema, then run through the database layer on a small database.
// A query either fails with a zc::Failure or runs, and a plan taken from the
// shape cache gives the same rows as a plan made afresh.
#include <sqlite3.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/jet_sql.h"
#include "db/query_plan.h"
#include "fuzz_support.h"

namespace {

using zc::Failure;
using zc::db::Value;
using zc::fuzz::FailureOf;
using zc::fuzz::Printable;
using zc::fuzz::Violated;

constexpr const char* kPresetColumns =
    "(ID LONG, machine_type TEXT(50), type TEXT(20), var_name TEXT(255), category_id LONG, "
    "isBitArray BIT, offset_or_bitno LONG, text TEXT(255), page_name TEXT(50), abs_min DOUBLE, "
    "abs_max DOUBLE, min DOUBLE, max DOUBLE, pass SHORT, part SHORT, changed DATETIME, "
    "note LONGTEXT)";

// Rows with the letter cases, quotes, umlauts, Nulls and foreign values the
// layer must compare as the Access engine does.
constexpr const char* kPresetRows =
    "(1, 'Press1', 'INT', 'Var_1', 1, -1, 0, 'Druck ###machine', 'P1', 0, 100, 5, 95, 1, 1, "
    "'2024-01-31 12:00:00', 'x'),"
    "(2, 'press1', 'int', 'VAR_1', 2, 0, 3, 'a\"b', 'p1', -1.5, 1e20, NULL, NULL, 0, 2, NULL, "
    "NULL),"
    "(3, 'Säge', 'BOOL', 'Äpfel', NULL, NULL, -7, '', NULL, 2.5, 3.5, 2.5, 3.5, NULL, 50, "
    "'1850-01-01 00:00:00', ''),"
    "(4, NULL, 'REAL', 'äPFEL', 4, -1, 2147483647, 'Ölstand', 'Öl', NULL, NULL, 1, 2, 1, NULL, "
    "NULL, 'long text'),"
    "(5, 'SAW', 'TEXT', 'a\"b', 5, 0, 'nine', 'text in a number field', 'x', 'abc', 0, 0, 0, "
    "7, 3, 'not a date', NULL),"
    "(6, 'Press2', '', '', 0, 1, 0.5, 'halb', 'p2', 0.1, 0.2, 0.3, 0.4, -32768, 32767, "
    "'9999-12-31 23:59:59', 'ß')";

constexpr const char* kOtherTables =
    "CREATE TABLE Source_DEFS (System TEXT(20), Var_Name TEXT(255), Part SHORT);"
    "INSERT INTO Source_DEFS VALUES ('VISIWIN32', '###machine.###Var_Name', 1),"
    "('VISIWINSTUDIO', 'ns=2;s=###machine.###Var_Name', 1), ('visiwin32', NULL, 2);"
    "CREATE TABLE Empty (x LONG);";

void BuildDatabase(const std::string& path) {
  std::string sql;
  for (const char* table : {"PRESET_DEFS", "Source_PRESET_DEFS"}) {
    sql += std::string("CREATE TABLE ") + table + " " + kPresetColumns + ";INSERT INTO " + table +
           " VALUES " + kPresetRows + ";";
  }
  sql += kOtherTables;
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK ||
      sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    Violated("the test database can be built", sqlite3_errmsg(db));
  }
  sqlite3_close(db);
}

// Two equal files, one for each engine, and a third whose schema the planner reads.
struct Databases {
  std::string cached = zc::fuzz::ScratchFolder() + "/cached.mdb";
  std::string fresh = zc::fuzz::ScratchFolder() + "/fresh.mdb";
  std::string schema = zc::fuzz::ScratchFolder() + "/schema.mdb";
  Databases() {
    for (const std::string* path : {&cached, &fresh, &schema}) BuildDatabase(*path);
  }
};

// The shape's literals are the parser's, in the same order: the cached plan
// binds the one by the places the other gives.
void CheckShapeMatchesParse(const std::string& text, const zc::db::QueryShape& shape,
                            const zc::db::JetQuery& query) {
  bool same = query.where.size() == shape.literals.size();
  for (size_t i = 0; same && i < query.where.size(); ++i) same = query.where[i].literal == i;
  if (!same) {
    Violated("the shape holds the parser's literals",
             Printable(text) + "\nshape " + std::to_string(shape.literals.size()) +
                 " literals, parse " + std::to_string(query.where.size()));
  }
}

// Another query of the same shape: every literal replaced by another value.
std::string Sibling(const std::string& key, size_t seed) {
  static const char* kTexts[] = {"\"Press1\"", "\"var_1\"", "\"ÄPFEL\"", "\"a\"\"b\"", "\"\""};
  static const char* kNumbers[] = {"3", "2.5", "0", "1E20", "-2147483647"};
  std::string text;
  for (char c : key) {
    if (c == '"') {
      text += kTexts[seed++ % std::size(kTexts)];
    } else if (c == '#') {
      text += kNumbers[seed++ % std::size(kNumbers)];
    } else {
      text += c;
    }
  }
  return text;
}

using Rows = std::vector<std::vector<Value>>;

Rows ReadAll(zc::db::Database& db, const std::string& source) {
  auto rs = db.OpenRecordset(source);
  Rows rows;
  if (rs->RecordCount() == 0) return rows;
  for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
    auto& row = rows.emplace_back();
    for (int i = 0; i < rs->Fields().Count(); ++i) row.push_back(rs->Fields()[i].GetValue());
  }
  return rows;
}

struct Outcome {
  std::optional<Failure> failure;
  Rows rows;
};

Outcome Run(const std::string& path, const std::vector<std::string>& earlier,
            const std::string& text) {
  zc::db::Engine engine;
  Outcome outcome;
  outcome.failure = FailureOf([&] {
    zc::db::Database db = engine.OpenDatabase(path);
    for (const std::string& query : earlier) FailureOf([&] { ReadAll(db, query); });
    outcome.rows = ReadAll(db, text);
  });
  return outcome;
}

void CheckCachedPlanGivesFreshRows(const Databases& files, const std::string& text,
                                   const std::string& sibling) {
  Outcome cached = Run(files.cached, {sibling}, text);
  Outcome fresh = Run(files.fresh, {}, text);
  int cached_number = cached.failure ? cached.failure->number : 0;
  int fresh_number = fresh.failure ? fresh.failure->number : 0;
  if (cached_number != fresh_number || cached.rows != fresh.rows) {
    Violated("a cached plan gives the rows of a fresh plan",
             Printable(text) + "\nafter " + Printable(sibling) + "\nfailures " +
                 std::to_string(cached_number) + " / " + std::to_string(fresh_number) + ", rows " +
                 std::to_string(cached.rows.size()) + " / " + std::to_string(fresh.rows.size()));
  }
}

// The parameters ?1, ?2, ... of a plan's SQL are the query's literals.
void CheckPlan(const zc::db::JetQuery& query, const zc::db::QueryShape& shape,
               zc::db::Connection& schemas) {
  const zc::db::TableSchema* schema = schemas.Schema(query.table);
  if (schema == nullptr) return;
  std::shared_ptr<const zc::db::QueryPlan> plan;
  if (FailureOf([&] { plan = zc::db::PlanQuery(query, shape, *schema); })) return;
  const std::string& sql = plan->rowid_sql;
  for (size_t at = sql.find('?'); at != std::string::npos; at = sql.find('?', at + 1)) {
    if (std::strtoul(sql.c_str() + at + 1, nullptr, 10) > shape.literals.size()) {
      Violated("a plan binds only literals the query has", Printable(sql));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Databases files;
  static const std::shared_ptr<zc::db::Connection> schemas = zc::db::Connection::Open(files.schema);
  const std::string text(reinterpret_cast<const char*>(data), size);

  zc::db::QueryShape shape;
  bool shaped = !FailureOf([&] { shape = zc::db::ShapeOfJetQuery(text); });
  zc::db::JetQuery query;
  if (shaped && !FailureOf([&] { query = zc::db::ParseJetQuery(text); })) {
    CheckShapeMatchesParse(text, shape, query);
    CheckPlan(query, shape, *schemas);
  }
  CheckCachedPlanGivesFreshRows(files, text, shaped ? Sibling(shape.key, size) : text);
  return 0;
}
