// Rows per second for inserting and for keyed updates, through the database
// layer and with raw SQLite on the same rows in the same run.
//   db_layer_bench [rows]
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "db/database.h"
#include "support/db_builder.h"

namespace {

using zc::db::Value;

constexpr int kFields = 15;  // the preset table with its part field

// Positions in the test template's field order.
enum : int {
  kId,
  kPart,
  kMachine,
  kType,
  kVarName,
  kCategory,
  kIsBit,
  kOffset,
  kText,
  kPage,
  kAbsMin,
  kPass = 14
};

Value FieldValue(int row, int field) {
  switch (field) {
    case kId:
      return Value::Integer(row + 1);
    case kPart:
    case kPass:
      return Value::Integer(row % 50 + 1);
    case kMachine:
      return Value::Text("Machine" + std::to_string(row % 5));
    case kVarName:
      return Value::Text("Var_" + std::to_string(row));
    case kOffset:
      return Value::Integer(row % 64);
    case kType:
    case kText:
    case kPage:
      return Value::Text("text of field " + std::to_string(field));
    case kIsBit:
      return Value::Boolean(row % 2 == 0);
    default:
      return Value::Number(row * 0.5 + field);
  }
}

std::string KeyQuery(int row) {
  return "SELECT PRESET_DEFS.* From PRESET_DEFS  WHERE (((PRESET_DEFS.machine_type)=\"Machine" +
         std::to_string(row % 5) + "\") AND ((PRESET_DEFS.var_name)=\"Var_" + std::to_string(row) +
         "\")  AND ((PRESET_DEFS.offset_or_bitno)=" + std::to_string(row % 64) + "));";
}

double Seconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void LayerInsert(const std::string& path, int rows) {
  zc::db::Engine engine;
  auto rs = engine.OpenDatabase(path).OpenRecordset("PRESET_DEFS");
  for (int row = 0; row < rows; ++row) {
    rs->AddNew();
    for (int f = 0; f < kFields; ++f) rs->Fields()[f].SetValue(FieldValue(row, f));
    rs->Update();
  }
  engine.FinishPendingWrites();
}

void LayerUpdate(const std::string& path, int rows) {
  zc::db::Engine engine;
  zc::db::Database db = engine.OpenDatabase(path);
  for (int row = 0; row < rows; ++row) {
    auto rs = db.OpenRecordset(KeyQuery(row));
    if (rs->RecordCount() == 0) continue;
    rs->Edit();
    for (int f = kAbsMin; f < kAbsMin + 5; ++f)
      rs->Fields()[f].SetValue(Value::Number(-(row % 1000)));
    rs->Update();
  }
  engine.FinishPendingWrites();
}

void Exec(sqlite3* db, const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

void RawInsert(const std::string& path, int rows) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  Exec(db, "BEGIN");
  zc::db::Statement insert(
      db, "INSERT INTO PRESET_DEFS VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15)");
  for (int row = 0; row < rows; ++row) {
    for (int f = 0; f < kFields; ++f) insert.Bind(f + 1, FieldValue(row, f));
    insert.Step();
    insert.Reset();
  }
  Exec(db, "COMMIT");
  sqlite3_close(db);
}

void RawUpdate(const std::string& path, int rows) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  Exec(db, "BEGIN");
  Exec(db,
       "CREATE INDEX k ON PRESET_DEFS (machine_type COLLATE NOCASE, var_name COLLATE NOCASE, "
       "offset_or_bitno)");
  zc::db::Statement update(
      db,
      "UPDATE PRESET_DEFS SET abs_min=?1, abs_max=?1, min=?1, max=?1, pass=?1 WHERE rowid = "
      "(SELECT rowid FROM PRESET_DEFS WHERE machine_type=?2 COLLATE NOCASE AND var_name=?3 "
      "COLLATE NOCASE AND offset_or_bitno=?4 ORDER BY rowid LIMIT 1)");
  for (int row = 0; row < rows; ++row) {
    update.Bind(1, Value::Number(-(row % 1000)));
    update.Bind(2, FieldValue(row, kMachine));
    update.Bind(3, FieldValue(row, kVarName));
    update.Bind(4, FieldValue(row, kOffset));
    update.Step();
    update.Reset();
  }
  Exec(db, "DROP INDEX k");
  Exec(db, "COMMIT");
  sqlite3_close(db);
}

}  // namespace

int main(int argc, char** argv) {
  int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  std::string dir = std::filesystem::temp_directory_path() / "zc-db-bench";
  std::filesystem::create_directories(dir);
  std::string layer = dir + "/layer.mdb", raw = dir + "/raw.mdb";
  zc::testing::BuildDatabase(layer, {{"PRESET_DEFS", zc::testing::PresetColumns(), {}}});
  zc::testing::BuildDatabase(raw, {{"PRESET_DEFS", zc::testing::PresetColumns(), {}}});

  double layer_insert = Seconds([&] { LayerInsert(layer, rows); });
  double raw_insert = Seconds([&] { RawInsert(raw, rows); });
  double layer_update = Seconds([&] { LayerUpdate(layer, rows); });
  double raw_update = Seconds([&] { RawUpdate(raw, rows); });

  std::printf("%-14s %14s %14s %8s\n", "rows", "layer rows/s", "raw rows/s", "ratio");
  std::printf("%-14s %14.0f %14.0f %8.2f\n", "insert", rows / layer_insert, rows / raw_insert,
              raw_insert / layer_insert);
  std::printf("%-14s %14.0f %14.0f %8.2f\n", "keyed update", rows / layer_update, rows / raw_update,
              raw_update / layer_update);
  std::filesystem::remove_all(dir);
  return 0;
}
