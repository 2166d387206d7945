// The Jet SQL the preset procedures build: SELECT over one table with
// table-qualified names, "*", nested parentheses, comparisons joined by AND,
// OR and NOT, double- or single-quoted literals (a doubled quote inside is one
// quote), numbers, ORDER BY and a final ";".
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "presets/db/value.h"

namespace zc::db {

struct QueryExpr {
  enum class Kind { kColumn, kLiteral, kCompare, kAnd, kOr, kNot };
  Kind kind;
  std::string qualifier, column;           // kColumn: "T" and "col" of "T.col"
  Value literal;                           // kLiteral
  int ordinal = -1;                        // kLiteral: its place among the query's literals
  std::string op;                          // kCompare: = <> < > <= >=
  std::unique_ptr<QueryExpr> left, right;  // right is empty for kNot

  bool IsCondition() const { return kind >= Kind::kCompare; }
};

struct ColumnRef {
  std::string qualifier, column;  // column "*" for all columns
};

struct OrderItem {
  ColumnRef column;
  bool descending = false;
};

struct JetQuery {
  std::string table;
  std::vector<ColumnRef> columns;
  std::unique_ptr<QueryExpr> where;  // may be empty
  std::vector<OrderItem> order_by;
};

// A query text cut into its shape and its literals: queries that differ only
// in their literal values share a shape, and so their plan.
struct QueryShape {
  std::string key;              // the text with every literal replaced by a marker
  std::vector<Value> literals;  // in the order they stand
};

// True when the text is a query rather than a table name.
bool IsQueryText(std::string_view text);

// The shape of a query; raises the syntax failure for an unclosed literal.
QueryShape ShapeOfJetQuery(std::string_view text);

// Parses a query; a text outside the subset raises the syntax failure (3075).
JetQuery ParseJetQuery(std::string_view text);

}  // namespace zc::db
