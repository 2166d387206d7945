#include "db/recordset.h"

#include <algorithm>

#include "db/db_failure.h"
#include "db/quoting.h"
#include "platform/ansi_text.h"

namespace zc::db {
namespace {

[[noreturn]] void UpdateWithoutEdit() {
  Fail(code::kUpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit.",
       source::kRecordset);
}

}  // namespace

const std::string& RecordField::Name() const { return rs_.fields()[position_].name; }
FieldType RecordField::Type() const { return rs_.fields()[position_].type; }
Value RecordField::GetValue() const { return rs_.Get(position_); }
const Value& RecordField::CurrentValue() const { return rs_.Get(position_); }
void RecordField::SetValue(Value value) { rs_.Set(position_, std::move(value)); }

int RecordFields::Count() const { return static_cast<int>(rs_.fields().size()); }

RecordField RecordFields::operator[](int position) const {
  if (position < 0 || position >= Count()) ItemNotFound(source::kFields);
  return RecordField(rs_, position);
}

RecordField RecordFields::operator[](std::string_view name) const {
  return RecordField(rs_, rs_.Position(name));
}

Recordset::Recordset(std::shared_ptr<Connection> connection, std::shared_ptr<const QueryPlan> plan,
                     std::vector<Value> literals)
    : connection_(std::move(connection)), plan_(std::move(plan)), literals_(std::move(literals)) {}

Connection& Recordset::Open() {
  if (closed_ || !connection_->IsOpen()) ObjectInvalid(source::kRecordset);
  return *connection_;
}

std::vector<std::int64_t>& Recordset::Rows() {
  Connection& connection = Open();
  if (rowids_) return *rowids_;
  if (!plan_->lookup_index.empty()) {
    connection.EnsureLookupIndex(plan_->lookup_index, plan_->lookup_index_sql);
  }
  Statement& select = connection.Prepare(plan_->rowid_sql);
  for (size_t i = 0; i < literals_.size(); ++i) {
    select.Bind(static_cast<int>(i + 1), literals_[i], Statement::kHeld);
  }
  // Kept only once complete: a listing that fails halfway must not pass for
  // a shorter table.
  std::vector<std::int64_t> rows;
  keys_.clear();
  while (select.Step()) rows.push_back(NoteRow(select));
  select.Reset();
  if (plan_->sort_rowids) std::sort(rows.begin(), rows.end());
  return rowids_.emplace(std::move(rows));
}

std::int64_t Recordset::NoteRow(Statement& statement) {
  if (plan_->key.empty()) return statement.IntegerColumn(0);
  keys_.push_back(statement.KeyColumns(0, static_cast<int>(plan_->key.size())));
  return static_cast<std::int64_t>(keys_.size()) - 1;
}

std::int64_t Recordset::RecordCount() { return static_cast<std::int64_t>(Rows().size()); }

bool Recordset::Eof() { return position_ >= Rows().size(); }

void Recordset::MoveFirst() {
  if (Rows().empty()) NoCurrentRecord();
  position_ = 0;
  mode_ = Mode::kNone;
}

void Recordset::MoveNext() {
  if (Eof()) NoCurrentRecord();
  ++position_;
  mode_ = Mode::kNone;
}

void Recordset::MoveLast() {
  if (Rows().empty()) NoCurrentRecord();
  position_ = Rows().size() - 1;
  mode_ = Mode::kNone;
}

const std::vector<Value>& Recordset::CurrentRow() {
  if (Eof()) NoCurrentRecord();
  Connection& connection = Open();
  bool held = ahead_generation_ == connection.write_generation() && position_ >= ahead_start_ &&
              position_ < ahead_start_ + ahead_.size();
  if (!held) ReadAhead(connection);
  const std::optional<std::vector<Value>>& row = ahead_[position_ - ahead_start_];
  if (!row) NoCurrentRecord();  // the row was deleted meanwhile
  return *row;
}

void Recordset::ReadAhead(Connection& connection) {
  constexpr size_t kBatch = 64;
  const std::vector<std::int64_t>& ids = *rowids_;
  size_t count = 1;  // rows found by their key are read one by one
  while (plan_->key.empty() && count < kBatch && position_ + count < ids.size() &&
         ids[position_ + count] > ids[position_ + count - 1]) {
    ++count;
  }
  // A range only pays where the rows lie close together.
  while (count > 1 && ids[position_ + count - 1] - ids[position_] >= 4 * std::int64_t(count)) {
    count /= 2;
  }
  Statement& fetch = connection.Prepare(plan_->fetch_sql);
  fetch.BindInteger(1, ids[position_]);
  if (plan_->key.empty()) {
    fetch.BindInteger(2, ids[position_ + count - 1]);
  } else {
    fetch.BindKey(2, keys_[ids[position_]]);
  }
  ahead_.assign(count, std::nullopt);
  ahead_start_ = position_;
  for (size_t k = 0; k < count && fetch.Step();) {
    std::int64_t id = fetch.IntegerColumn(0);
    while (k < count && ids[position_ + k] < id) ++k;
    if (k == count || ids[position_ + k] != id) continue;
    std::vector<Value>& row = ahead_[k++].emplace();
    row.reserve(fields().size());
    for (size_t i = 0; i < fields().size(); ++i) {
      row.push_back(fetch.ColumnAs(static_cast<int>(i + 1), fields()[i].type));
    }
  }
  fetch.Reset();
  ahead_generation_ = connection.write_generation();
}

const Value& Recordset::Get(int position) {
  if (mode_ == Mode::kAddNew || (mode_ == Mode::kEdit && changed_[position])) {
    return buffer_[position];
  }
  return CurrentRow()[position];
}

void Recordset::Set(int position, Value value) {
  Open();
  if (mode_ == Mode::kNone) UpdateWithoutEdit();
  buffer_[position] = ConvertForField(std::move(value), fields()[position].type);
  changed_[position] = true;
}

int Recordset::Position(std::string_view name) const {
  for (size_t i = 0; i < fields().size(); ++i) {
    if (platform::EqualIgnoringCase(fields()[i].name, name)) return static_cast<int>(i);
  }
  ItemNotFound(source::kFields);
}

void Recordset::AddNew() {
  Open();
  buffer_.assign(fields().size(), Value());
  changed_.assign(fields().size(), false);
  mode_ = Mode::kAddNew;
}

void Recordset::Edit() {
  // Only the fields set while editing are written; the others are read from
  // the row when asked, so an edit of five fields never reads the other ten.
  if (Eof()) NoCurrentRecord();
  buffer_.assign(fields().size(), Value());
  changed_.assign(fields().size(), false);
  mode_ = Mode::kEdit;
}

std::string Recordset::InsertSql() const {
  std::string names, values;
  int count = 0;
  for (size_t i = 0; i < fields().size(); ++i) {
    if (!changed_[i]) continue;
    values += (count ? ", ?" : "?") + std::to_string(count + 1);
    names += (count ? ", " : "") + DoubleQuoted(fields()[i].name);
    ++count;
  }
  std::string table = DoubleQuoted(plan_->table);
  // A table without rowids tells the key of the new row.
  std::string returning = plan_->key.empty() ? "" : " RETURNING " + RowIdentity(*plan_);
  if (count == 0) return "INSERT INTO " + table + " DEFAULT VALUES" + returning;
  return "INSERT INTO " + table + " (" + names + ") VALUES (" + values + ")" + returning;
}

std::string Recordset::UpdateSql() const {
  std::string sql = "UPDATE " + DoubleQuoted(plan_->table) + " SET ";
  int count = 0;
  for (size_t i = 0; i < fields().size(); ++i) {
    if (!changed_[i]) continue;
    sql +=
        (count ? ", " : "") + DoubleQuoted(fields()[i].name) + " = ?" + std::to_string(count + 1);
    ++count;
  }
  sql += WhereRowIs(*plan_, count + 1);
  // The edit may change the key of a table without rowids: it tells the new one.
  return plan_->key.empty() ? sql : sql + " RETURNING " + RowIdentity(*plan_);
}

void Recordset::Update() {
  Connection& connection = Open();
  if (mode_ == Mode::kNone) UpdateWithoutEdit();
  bool any_change = false;
  for (bool changed : changed_) any_change |= changed;
  if (mode_ == Mode::kEdit && !any_change) {
    mode_ = Mode::kNone;
    return;
  }
  connection.BeginWrite();
  connection.TableChanged(plan_->table);
  Statement& write = WriteStatement();
  int bound = 0;
  for (size_t i = 0; i < fields().size(); ++i) {
    if (changed_[i]) write.Bind(++bound, buffer_[i], Statement::kHeld);
  }
  bool editing = mode_ == Mode::kEdit;
  std::int64_t row = editing ? (*rowids_)[position_] : 0;
  if (editing && plan_->key.empty()) write.BindInteger(bound + 1, row);
  if (editing && !plan_->key.empty()) write.BindKey(bound + 1, keys_[row]);
  // A table without rowids tells the row's key, which an edit may have changed.
  bool told_key = write.Step();
  if (told_key && editing) keys_[row] = write.KeyColumns(0, static_cast<int>(plan_->key.size()));
  if (!editing) row = told_key ? NoteRow(write) : connection.LastInsertRowid();
  write.Reset();
  if (!editing && rowids_) rowids_->push_back(row);
  mode_ = Mode::kNone;
}

Statement& Recordset::WriteStatement() {
  // Rows added or edited one after another change the same fields, through
  // this record set or through others of the same plan: the statement is
  // found again by that form, without building its SQL.
  bool adds = mode_ == Mode::kAddNew;
  if (last_write_ == nullptr || last_write_->adds != adds || last_write_->fields != changed_) {
    last_write_ = &connection_->PrepareWrite(plan_->id, adds, changed_,
                                             [&] { return adds ? InsertSql() : UpdateSql(); });
  }
  return *last_write_->statement;
}

void Recordset::Close() { closed_ = true; }

}  // namespace zc::db
