// Turns a parsed query into SQLite SQL over one table. Text comparisons and
// orderings ignore letter case, as the Access engine's do. Literals become
// parameters ?1, ?2, ... in the order they stand, so a query asked once per
// row is planned once and its statement prepared once; the lookup gets an
// index, so it never scans the table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/jet_sql.h"
#include "db/table_schema.h"

namespace zc::db {

// A row is found by its rowid, or in a table made without rowids by its
// primary key (`key`); there the recordset numbers the rows itself, and the
// "rowids" below are those numbers.
struct QueryPlan {
  std::uint64_t id = 0;            // one of its own in the process
  std::string table;               // as stored
  std::vector<ColumnInfo> fields;  // the query's fields, in order
  std::vector<std::string> key;    // the primary key of a table without rowids
  std::string fetch_sql;           // ?1 first: reads the rows in a rowid range, or by key
  std::string rowid_sql;           // selects the rowids (or keys) of the rows
  std::string lookup_index;        // the index for the WHERE's lookup; "" without WHERE
  std::string lookup_index_sql;    // creates it
  bool sort_rowids = true;         // no ORDER BY: rows come in the order they were stored
};

// "rowid", or the quoted key columns joined by ", ".
std::string RowIdentity(const QueryPlan& plan);
// " WHERE rowid = ?first", or the key's columns compared with ?first, ?first+1, ...
std::string WhereRowIs(const QueryPlan& plan, int first);

// Raises code::kTooFewParameters for a name that is not a field of the table
// and code::kCriteriaMismatch when a field is compared with a literal of the
// other kind.
std::shared_ptr<const QueryPlan> PlanQuery(const JetQuery& query, const QueryShape& shape,
                                           const TableSchema& schema);

// The plan of a plain table: every field, in stored order.
std::shared_ptr<const QueryPlan> PlanTable(const TableSchema& schema);

}  // namespace zc::db
