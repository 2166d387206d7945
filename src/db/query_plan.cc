#include "db/query_plan.h"

#include <functional>

#include "db/connection.h"
#include "db/db_failure.h"
#include "db/quoting.h"
#include "platform/ansi_text.h"

namespace zc::db {
namespace {

bool IsTextType(FieldType field) {
  return field.type == type::kText || field.type == type::kMemo || field.type == type::kGuid;
}

bool IsNumberType(FieldType field) {
  return !IsTextType(field) && field.type != type::kDate && field.type != type::kLongBinary;
}

// A column as SQL compares and orders it: texts by the collation that ignores case.
std::string Compared(const ColumnInfo& column) {
  std::string name = DoubleQuoted(column.name);
  return IsTextType(column.type) ? name + " COLLATE " + kTextCollation : name;
}

// Whether a column is looked up by the keys of its texts. The keys are equal
// exactly where the collation finds the texts equal, and SQLite compares them
// byte by byte, in the index and in the lookup, instead of calling back into
// the collation. Only a column SQLite keeps texts in: elsewhere SQLite would
// first turn a text literal into the number the column holds.
bool LookedUpByKey(const ColumnInfo& column) {
  return IsTextType(column.type) && column.stores_text;
}

// The column as a lookup compares it, and so as its index holds it.
std::string LookedUp(const ColumnInfo& column) {
  if (!LookedUpByKey(column)) return Compared(column);
  return std::string(kTextKey) + "(" + DoubleQuoted(column.name) + ")";
}

// Plans are told apart by their ids: what is prepared for one plan is found
// again by its id, however many plans come and go.
std::uint64_t NextPlanId() {
  static std::uint64_t last = 0;
  return ++last;
}

// The index that makes the lookup of `columns` cheap: its name follows from
// what it indexes, so a plan made anew finds the index made for another.
void SetLookupIndex(QueryPlan& plan, const std::vector<std::string>& columns) {
  std::string key = plan.table, list;
  for (const std::string& column : columns) {
    key += "\x1f" + column;
    list += (list.empty() ? "" : ", ") + column;
  }
  plan.lookup_index = "zc_lookup_" + std::to_string(std::hash<std::string>{}(key) % 1000000007);
  plan.lookup_index_sql = "CREATE INDEX IF NOT EXISTS " + DoubleQuoted(plan.lookup_index) + " ON " +
                          DoubleQuoted(plan.table) + " (" + list + ")";
}

// Reads the rows whose rowids lie in ?1..?2, in rowid order, rowid first; in
// a table without rowids the one row whose key is ?2, ?3, ..., after ?1.
std::string FetchSql(const QueryPlan& plan) {
  std::string sql = plan.key.empty() ? "SELECT rowid" : "SELECT ?1";
  for (const ColumnInfo& field : plan.fields) sql += ", " + DoubleQuoted(field.name);
  sql += " FROM " + DoubleQuoted(plan.table);
  if (!plan.key.empty()) return sql + WhereRowIs(plan, 2);
  return sql + " WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid";
}

// The rowids (or keys) of the rows, in stored order unless ordered otherwise.
std::string RowidSql(const QueryPlan& plan, const std::string& where, const std::string& order) {
  std::string sql = "SELECT " + RowIdentity(plan) + " FROM " + DoubleQuoted(plan.table) + where;
  // A table without rowids is stored in the order of its key.
  if (order.empty() && !plan.key.empty()) return sql + " ORDER BY " + RowIdentity(plan);
  return sql + order;
}

class Planner {
 public:
  Planner(const JetQuery& query, const QueryShape& shape, const TableSchema& schema)
      : query_(query), shape_(shape), schema_(schema) {}

  std::shared_ptr<const QueryPlan> Plan() {
    plan_.id = NextPlanId();
    plan_.table = schema_.name;
    plan_.key = schema_.key;
    for (const ColumnRef& ref : query_.columns) Project(ref);
    plan_.fetch_sql = FetchSql(plan_);
    plan_.rowid_sql = RowidSql(plan_, Where(), OrderBy());
    if (!lookup_columns_.empty()) SetLookupIndex(plan_, lookup_columns_);
    plan_.sort_rowids = query_.order_by.empty();
    return std::make_shared<const QueryPlan>(std::move(plan_));
  }

 private:
  const ColumnInfo& Resolve(const ColumnRef& ref) const {
    int position =
        platform::EqualIgnoringCase(ref.table, query_.table) ? schema_.Find(ref.column) : -1;
    if (position < 0) {
      Fail(code::kTooFewParameters, "Too few parameters. Expected 1.", source::kDatabase);
    }
    return schema_.columns[position];
  }

  void Project(const ColumnRef& ref) {
    if (ref.column != "*") {
      plan_.fields.push_back(Resolve(ref));
      return;
    }
    Resolve({ref.table, schema_.columns.at(0).name});  // the table must be the query's
    plan_.fields.insert(plan_.fields.end(), schema_.columns.begin(), schema_.columns.end());
  }

  std::string Where() {
    std::string sql;
    for (const Comparison& comparison : query_.where) {
      const ColumnInfo& column = Resolve(comparison.column);
      bool text_literal = shape_.literals.at(comparison.literal).IsText();
      if ((IsTextType(column.type) && !text_literal) ||
          (IsNumberType(column.type) && text_literal)) {
        Fail(code::kCriteriaMismatch, "Data type mismatch in criteria expression.",
             source::kDatabase);
      }
      std::string literal = "?" + std::to_string(comparison.literal + 1);
      if (LookedUpByKey(column)) literal = std::string(kTextKey) + "(" + literal + ")";
      sql += (sql.empty() ? " WHERE " : " AND ") + LookedUp(column) + " = " + literal;
      lookup_columns_.push_back(LookedUp(column));
    }
    return sql;
  }

  // Rows with equal keys come in the order they were stored.
  std::string OrderBy() const {
    if (query_.order_by.empty()) return "";
    std::string sql = " ORDER BY ";
    for (const ColumnRef& ref : query_.order_by) sql += Compared(Resolve(ref)) + ", ";
    return sql + RowIdentity(plan_);
  }

  const JetQuery& query_;
  const QueryShape& shape_;
  const TableSchema& schema_;
  QueryPlan plan_;
  std::vector<std::string> lookup_columns_;
};

}  // namespace

std::string RowIdentity(const QueryPlan& plan) {
  if (plan.key.empty()) return "rowid";
  std::string columns;
  for (const std::string& column : plan.key)
    columns += (columns.empty() ? "" : ", ") + DoubleQuoted(column);
  return columns;
}

std::string WhereRowIs(const QueryPlan& plan, int first) {
  if (plan.key.empty()) return " WHERE rowid = ?" + std::to_string(first);
  std::string sql;
  for (size_t i = 0; i < plan.key.size(); ++i) {
    sql += (i ? " AND " : " WHERE ") + DoubleQuoted(plan.key[i]) + " = ?" +
           std::to_string(first + static_cast<int>(i));
  }
  return sql;
}

std::shared_ptr<const QueryPlan> PlanQuery(const JetQuery& query, const QueryShape& shape,
                                           const TableSchema& schema) {
  return Planner(query, shape, schema).Plan();
}

std::shared_ptr<const QueryPlan> PlanTable(const TableSchema& schema) {
  auto plan = std::make_shared<QueryPlan>();
  plan->id = NextPlanId();
  plan->table = schema.name;
  plan->fields = schema.columns;
  plan->key = schema.key;
  plan->fetch_sql = FetchSql(*plan);
  plan->rowid_sql = RowidSql(*plan, "", "");
  return plan;
}

}  // namespace zc::db
