// Turns a parsed query into SQLite SQL over one table. Text comparisons ignore
// letter case, as the Access engine's do. Literals become parameters, so a
// query asked once per row is planned once and its statement prepared once;
// an equality lookup gets an index, so it never scans the table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "presets/db/connection.h"
#include "presets/db/jet_sql.h"

namespace zc::db {

struct QueryPlan {
  // A parameter takes the query's literal of that ordinal, or a fixed value.
  struct Parameter {
    int literal = -1;
    Value fixed;
  };

  std::string table;               // as stored
  std::vector<ColumnInfo> fields;  // the query's fields, in order
  std::string fetch_sql;           // reads the fields of the rows in a rowid range
  std::string rowid_sql;           // selects the rowids of the rows
  std::vector<Parameter> parameters;
  std::vector<std::string> lookup_key;  // index columns for an equality lookup
  bool sort_rowids = true;              // no ORDER BY: rows come in the order they were stored
  // Whether queries of the same shape may use this plan, and the literals
  // that must then hold ASCII letters only (their lookup relies on NOCASE).
  bool reusable = true;
  std::vector<int> ascii_literals;

  // Statements for writing rows back, by the set of fields written, and the
  // connection's index generation for which the lookup index was made.
  mutable std::unordered_map<std::string, Statement*> write_statements;
  mutable std::uint64_t index_generation = 0;
};

// Raises 3061 for a name that is not a field of the table and 3464 when a
// field is compared with a literal of the other kind.
std::shared_ptr<const QueryPlan> PlanQuery(const JetQuery& query, const TableSchema& schema);

// The plan of a plain table: every field, in stored order.
std::shared_ptr<const QueryPlan> PlanTable(const TableSchema& schema);

// Whether a plan made for another query of the same shape serves these literals.
bool PlanServes(const QueryPlan& plan, const std::vector<Value>& literals);

// The parameter values of a plan for a query's literals.
std::vector<Value> BindParameters(const QueryPlan& plan, const std::vector<Value>& literals);

}  // namespace zc::db
