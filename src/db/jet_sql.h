// The Jet SQL the preset procedures build, and no more: SELECT over one table
// with table-qualified names ("T.col", "T.*"), conditions "T.col = literal"
// joined by AND and nested in parentheses, ORDER BY, and a final ";". A
// literal is a double-quoted text (a doubled quote inside stands for one) or
// a number. Keywords are read without regard to case. Any other text is the
// syntax failure (code::kSyntax).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/value.h"

namespace zc::db {

struct ColumnRef {
  std::string table, column;  // column "*" for all columns
};

// "column = literal"; the literal is the query's literal of that place.
struct Comparison {
  ColumnRef column;
  size_t literal = 0;
};

struct JetQuery {
  std::string table;
  std::vector<ColumnRef> columns;
  std::vector<Comparison> where;  // all must hold; empty without WHERE
  std::vector<ColumnRef> order_by;
};

// A query text cut into its shape and its literals: queries that differ only
// in their literal values share a shape, and so their plan.
struct QueryShape {
  std::string key;              // the text with every literal replaced by a marker
  std::vector<Value> literals;  // in the order they stand
};

// A shape that tells further texts of itself without scanning them: the
// text between its literals is compared whole and each literal read where it
// stands, so a query asked once per row costs little more than a compare.
class ShapePattern {
 public:
  explicit ShapePattern(const std::string& key);
  const std::string& key() const { return key_; }
  // True when `text` has this shape (as ShapeOfJetQuery would find), with
  // its literals in `literals`; raises the syntax failure where
  // ShapeOfJetQuery would, for a literal that cannot be read.
  bool Match(std::string_view text, std::vector<Value>& literals) const;

 private:
  std::string key_;
  std::vector<std::string_view> pieces_;  // of key_, around the markers
};

// True when the text is a query rather than a table name.
bool IsQueryText(std::string_view text);

// The shape of a query, read by the same lexer as the parser's; raises the
// syntax failure for a text the lexer cannot read.
QueryShape ShapeOfJetQuery(std::string_view text);

// Parses a query; raises the syntax failure for anything outside the
// grammar above, and code::kTooComplex for one far past any the program builds.
JetQuery ParseJetQuery(std::string_view text);

}  // namespace zc::db
