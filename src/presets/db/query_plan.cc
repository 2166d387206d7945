#include "presets/db/query_plan.h"

#include "platform/ansi_text.h"
#include "presets/db/db_failure.h"
#include "presets/db/quoting.h"

namespace zc::db {
namespace {

// More spellings than this and a text lookup falls back to a full comparison.
constexpr size_t kMaxSpellings = 64;

bool IsTextType(FieldType field) {
  return field.type == type::kText || field.type == type::kMemo || field.type == type::kGuid;
}

bool IsNumberType(FieldType field) {
  return !IsTextType(field) && field.type != type::kDate && field.type != type::kLongBinary;
}

// SQLite's NOCASE folds only A-Z. To match other letters without regard to
// case too, a literal is looked up in every spelling of its non-ASCII letters.
std::vector<std::string> Spellings(const std::string& text) {
  std::vector<std::string> spellings{""};
  for (size_t pos = 0; pos < text.size();) {
    size_t length = 1;
    while (pos + length < text.size() &&
           (static_cast<unsigned char>(text[pos + length]) & 0xC0) == 0x80) {
      ++length;
    }
    std::string character = text.substr(pos, length);
    pos += length;
    std::vector<std::string> forms{character};
    if (length > 1) {
      for (std::string form : {platform::UpperCase(character), platform::LowerCase(character)}) {
        if (form != forms.front() && (forms.size() < 2 || form != forms[1])) forms.push_back(form);
      }
    }
    std::vector<std::string> next;
    for (const std::string& prefix : spellings) {
      for (const std::string& form : forms) next.push_back(prefix + form);
    }
    spellings = std::move(next);
    if (spellings.size() > kMaxSpellings) return {};
  }
  return spellings;
}

// Reads the rows whose rowids lie in ?1..?2, in rowid order, rowid first.
std::string FetchSql(const std::string& table, const std::vector<ColumnInfo>& fields) {
  std::string sql = "SELECT rowid";
  for (const ColumnInfo& field : fields) sql += ", " + DoubleQuoted(field.name);
  return sql + " FROM " + DoubleQuoted(table) + " WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid";
}

class Planner {
 public:
  Planner(const JetQuery& query, const TableSchema& schema) : query_(query), schema_(schema) {}

  std::shared_ptr<const QueryPlan> Plan() {
    for (const ColumnRef& ref : query_.columns) Project(ref);
    plan_.table = schema_.name;
    plan_.fetch_sql = FetchSql(schema_.name, plan_.fields);
    std::string sql = "SELECT rowid FROM " + DoubleQuoted(schema_.name);
    if (query_.where) {
      sql += " WHERE " + Condition(*query_.where);
      plan_.lookup_key = LookupKey(*query_.where);
    }
    plan_.sort_rowids = query_.order_by.empty();
    if (!plan_.sort_rowids) {
      sql += " ORDER BY ";
      for (const OrderItem& item : query_.order_by) {
        int column = Resolve(item.column.qualifier, item.column.column);
        sql += DoubleQuoted(schema_.columns[column].name) +
               (IsTextType(schema_.columns[column].type) ? " COLLATE NOCASE" : "") +
               (item.descending ? " DESC, " : ", ");
      }
      sql += "rowid";  // equal keys come in the order they were stored
    }
    plan_.rowid_sql = sql;
    return std::make_shared<const QueryPlan>(std::move(plan_));
  }

 private:
  [[noreturn]] void UnknownName() const {
    Fail(code::kTooFewParameters, "Too few parameters. Expected 1.", source::kDatabase);
  }

  int Resolve(const std::string& qualifier, const std::string& column) const {
    if (!qualifier.empty() && platform::UpperCase(qualifier) != platform::UpperCase(query_.table)) {
      UnknownName();
    }
    int position = schema_.Find(column);
    if (position < 0) UnknownName();
    return position;
  }

  void Project(const ColumnRef& ref) {
    if (ref.column != "*") {
      plan_.fields.push_back(schema_.columns[Resolve(ref.qualifier, ref.column)]);
      return;
    }
    if (!ref.qualifier.empty()) Resolve(ref.qualifier, schema_.columns.at(0).name);
    plan_.fields.insert(plan_.fields.end(), schema_.columns.begin(), schema_.columns.end());
  }

  std::string Parameter(const QueryExpr& literal) {
    plan_.parameters.push_back({literal.ordinal, Value()});
    return "?" + std::to_string(plan_.parameters.size());
  }

  std::string Fixed(const Value& value) {
    plan_.parameters.push_back({-1, value});
    return "?" + std::to_string(plan_.parameters.size());
  }

  std::string Condition(const QueryExpr& expr) {
    switch (expr.kind) {
      case QueryExpr::Kind::kAnd:
        return "(" + Condition(*expr.left) + " AND " + Condition(*expr.right) + ")";
      case QueryExpr::Kind::kOr:
        return "(" + Condition(*expr.left) + " OR " + Condition(*expr.right) + ")";
      case QueryExpr::Kind::kNot:
        return "(NOT " + Condition(*expr.left) + ")";
      default:
        return Comparison(expr);
    }
  }

  std::string Comparison(const QueryExpr& expr) {
    const QueryExpr* column = &*expr.left;
    const QueryExpr* other = &*expr.right;
    std::string op = expr.op;
    if (column->kind != QueryExpr::Kind::kColumn) {
      std::swap(column, other);
      if (op.size() == 1 && op != "=")
        op = op == "<" ? ">" : "<";
      else if (op == "<=" || op == ">=")
        op = op == "<=" ? ">=" : "<=";
    }
    if (column->kind != QueryExpr::Kind::kColumn) {
      return Parameter(*column) + " " + op + " " + Parameter(*other);
    }
    const ColumnInfo& info = schema_.columns[Resolve(column->qualifier, column->column)];
    std::string name = DoubleQuoted(info.name);
    if (other->kind == QueryExpr::Kind::kColumn) {
      return name + " " + op + " " +
             DoubleQuoted(schema_.columns[Resolve(other->qualifier, other->column)].name);
    }
    const Value& literal = other->literal;
    bool text_literal = literal.IsText();
    if ((IsTextType(info.type) && !text_literal) || (IsNumberType(info.type) && text_literal)) {
      Fail(code::kCriteriaMismatch, "Data type mismatch in criteria expression.",
           source::kDatabase);
    }
    if (!IsTextType(info.type)) return name + " " + op + " " + Parameter(*other);
    if (op != "=") return name + " " + op + " " + Parameter(*other) + " COLLATE NOCASE";
    std::vector<std::string> spellings = Spellings(literal.AsText());
    if (spellings.size() == 1) {
      plan_.ascii_literals.push_back(other->ordinal);
      return name + " = " + Parameter(*other) + " COLLATE NOCASE";
    }
    plan_.reusable = false;  // the SQL depends on this literal's letters
    if (spellings.empty()) return "zc_same_text(" + name + ", " + Parameter(*other) + ")";
    std::string in = name + " COLLATE NOCASE IN (";
    for (size_t i = 0; i < spellings.size(); ++i) {
      in += (i ? ", " : "") + Fixed(Value::Text(spellings[i]));
    }
    return in + ")";
  }

  // The columns of a WHERE made only of "field = literal" joined by AND.
  std::vector<std::string> LookupKey(const QueryExpr& expr) const {
    if (expr.kind == QueryExpr::Kind::kAnd) {
      auto left = LookupKey(*expr.left);
      auto right = LookupKey(*expr.right);
      if (left.empty() || right.empty()) return {};
      left.insert(left.end(), right.begin(), right.end());
      return left;
    }
    if (expr.kind != QueryExpr::Kind::kCompare || expr.op != "=") return {};
    const QueryExpr* column =
        expr.left->kind == QueryExpr::Kind::kColumn ? &*expr.left : &*expr.right;
    const QueryExpr* other = column == &*expr.left ? &*expr.right : &*expr.left;
    if (column->kind != QueryExpr::Kind::kColumn || other->kind != QueryExpr::Kind::kLiteral)
      return {};
    const ColumnInfo& info = schema_.columns[Resolve(column->qualifier, column->column)];
    return {DoubleQuoted(info.name) + (IsTextType(info.type) ? " COLLATE NOCASE" : "")};
  }

  const JetQuery& query_;
  const TableSchema& schema_;
  QueryPlan plan_;
};

}  // namespace

std::shared_ptr<const QueryPlan> PlanQuery(const JetQuery& query, const TableSchema& schema) {
  return Planner(query, schema).Plan();
}

std::shared_ptr<const QueryPlan> PlanTable(const TableSchema& schema) {
  auto plan = std::make_shared<QueryPlan>();
  plan->table = schema.name;
  plan->fields = schema.columns;
  plan->fetch_sql = FetchSql(schema.name, schema.columns);
  plan->rowid_sql = "SELECT rowid FROM " + DoubleQuoted(schema.name);
  return plan;
}

bool PlanServes(const QueryPlan& plan, const std::vector<Value>& literals) {
  if (!plan.reusable) return false;
  for (int ordinal : plan.ascii_literals) {
    for (char c : literals[ordinal].AsText()) {
      if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
  }
  return true;
}

std::vector<Value> BindParameters(const QueryPlan& plan, const std::vector<Value>& literals) {
  std::vector<Value> values;
  values.reserve(plan.parameters.size());
  for (const QueryPlan::Parameter& parameter : plan.parameters) {
    values.push_back(parameter.literal >= 0 ? literals[parameter.literal] : parameter.fixed);
  }
  return values;
}

}  // namespace zc::db
