#include "bench_project.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "db/statement.h"
#include "presets/preparation.h"
#include "support/db_builder.h"
#include "support/temp_project.h"

namespace zc::bench {
namespace {

using db::Value;
using testing::Row;

// Positions of the test template's fields (see PresetColumns) plus A and B.
enum { kId, kPart, kMachine, kType, kVarName, kCategory, kIsBit, kOffset, kText, kPage, kAbsMin };

class QuietUi : public platform::Ui {
 public:
  platform::Answer Show(const platform::MessageBox& box) override {
    std::fprintf(stderr, "unexpected box: %s\n", box.text.c_str());
    return box.default_button;
  }
  void DoEvents() override {}
  void SetBusyPointer(bool) override {}
  void Progress(std::int64_t, std::int64_t) override {}
  void EndProgram(int code) override { std::_Exit(code); }
};

Row TemplateRow(int i) {
  return {Value::Integer(i + 1),
          Value::Integer(1),
          Value::Text("###machine"),
          Value::Text("REAL"),
          Value::Text("Var_" + std::to_string(i)),
          Value::Integer(i % 7),
          Value::Boolean(false),
          Value::Integer(i % 64),
          Value::Text("Value " + std::to_string(i) + " of ###machine"),
          Value::Text("Page"),
          Value::Number(0),
          Value::Number(100),
          Value::Number(10),
          Value::Number(90),
          Value::Integer(0),
          Value::Text("a"),
          Value::Text("b")};
}

// An earlier row for machine m and template row i, in the run's naming.
Row EarlierRow(int m, int i) {
  Row row = TemplateRow(i);
  std::string machine = "Machine" + std::to_string(m + 1);
  row[kMachine] = Value::Text(machine);
  row[kVarName] = Value::Text(machine + ".Var_" + std::to_string(i));
  for (int k = 0; k < 5; ++k) row[kAbsMin + k] = Value::Integer((m * 7 + i + k) % 1000);
  return row;
}

Row EarlierRow(const Size& size, int r) {
  return EarlierRow(r / size.template_rows % size.machines, r % size.template_rows);
}

void Exec(sqlite3* db, const std::string& sql) {
  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

// Every generated name renames the other naming system's form in the earlier
// table: a keyed update that (here) finds nothing.
void RawNameConversions(const std::string& root, const Size& size) {
  std::string path = root + "/raw_component.mdb";
  std::filesystem::copy_file(root + "/Zantel/Zantel.mdb", path,
                             std::filesystem::copy_options::overwrite_existing);
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  Exec(db, "BEGIN");
  Exec(db, "CREATE INDEX v ON PRESET_DEFS (var_name COLLATE NOCASE)");
  {
    db::Statement rename(db, "UPDATE PRESET_DEFS SET var_name=?1 WHERE var_name=?2 COLLATE NOCASE");
    for (int m = 0; m < size.machines; ++m) {
      for (int i = 0; i < size.template_rows; ++i) {
        std::string machine = "Machine" + std::to_string(m + 1);
        rename.Bind(1, Value::Text(machine + ".Var_" + std::to_string(i)));
        rename.Bind(2, Value::Text("Ch1." + machine + ".Var_" + std::to_string(i)));
        rename.Step();
        rename.Reset();
      }
    }
  }
  Exec(db, "DROP INDEX v");
  Exec(db, "COMMIT");
  sqlite3_close(db);
}

}  // namespace

void BuildProject(const std::string& root, const Size& size, bool access) {
  const auto build = access ? testing::BuildAccessDatabase : testing::BuildDatabase;
  std::string cfg = "[Project]\r\nDataBaseAdditionalFields=A,B\r\n";
  std::string ini = "[Project]\r\nNumberOfMachines=" + std::to_string(size.machines) + "\r\n";
  for (int m = 1; m <= size.machines; ++m) cfg += "ForMachine" + std::to_string(m) + "=true\r\n";
  testing::WriteFile(root + "/Zantel/Zantel.cfg", cfg);
  testing::WriteFile(root + "/parameter/Program.ini", ini);
  auto columns = testing::PresetColumns({"A", "B"});
  std::vector<Row> template_rows, earlier;
  for (int i = 0; i < size.template_rows; ++i) template_rows.push_back(TemplateRow(i));
  for (int r = 0; r < size.earlier_rows; ++r) earlier.push_back(EarlierRow(size, r));
  build(root + "/Zantel/Zantel_Source.mdb",
        {{"Source_DEFS",
          {{"System", "TEXT(20)"}, {"Var_Name", "TEXT(255)"}, {"Part", "SHORT"}},
          {{Value::Text("VISIWIN32"), Value::Text("###machine.###Var_Name"), Value::Integer(1)},
           {Value::Text("VISIWINSTUDIO"), Value::Text("Ch1.###machine.###Var_Name"),
            Value::Integer(1)}}},
         {"Source_PRESET_DEFS", columns, template_rows}});
  build(root + "/Zantel/Zantel.mdb", {{"PRESET_DEFS", columns, earlier}});
}

void WholeRun(const std::string& root, const Size& size) {
  QuietUi ui;
  PresetRun run(testing::FactsFor(root + "/Bin/Zantel_Config", "/EXTERNAL=SILENT",
                                  root + "/TolvaServicePack.log"),
                ui);
  run.SilentMode = true;
  run.ProgramIniPath = root + "/parameter/Program.ini";
  run.ExistingMachines = {""};
  for (int m = 1; m <= size.machines; ++m)
    run.ExistingMachines.push_back("Machine" + std::to_string(m));
  WorkOnMDB(run);
  run.FinishPendingWrites();
}

void RawFloor(const std::string& root, const Size& size) {
  RawNameConversions(root, size);
  std::string path = root + "/raw.mdb";
  testing::BuildDatabase(path, {{"PRESET_DEFS", testing::PresetColumns({"A", "B"}), {}}});
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  Exec(db, "BEGIN");
  {
    db::Statement insert(db,
                         "INSERT INTO PRESET_DEFS VALUES "
                         "(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15,?16,?17)");
    for (int m = 0; m < size.machines; ++m) {
      for (int i = 0; i < size.template_rows; ++i) {
        Row row = EarlierRow(m, i);
        row[kId] = Value::Integer(m * size.template_rows + i + 1);
        for (size_t f = 0; f < row.size(); ++f) insert.Bind(static_cast<int>(f + 1), row[f]);
        insert.Step();
        insert.Reset();
      }
    }
    Exec(db,
         "CREATE INDEX k ON PRESET_DEFS (machine_type COLLATE NOCASE, var_name COLLATE NOCASE, "
         "offset_or_bitno)");
    db::Statement update(
        db,
        "UPDATE PRESET_DEFS SET abs_min=?1, abs_max=?2, min=?3, max=?4, pass=?5 WHERE "
        "machine_type=?6 COLLATE NOCASE AND var_name=?7 COLLATE NOCASE AND offset_or_bitno=?8");
    for (int r = 0; r < size.earlier_rows; ++r) {
      Row row = EarlierRow(size, r);
      for (int k = 0; k < 5; ++k) update.Bind(k + 1, row[kAbsMin + k]);
      update.Bind(6, row[kMachine]);
      update.Bind(7, row[kVarName]);
      update.Bind(8, row[kOffset]);
      update.Step();
      update.Reset();
    }
    Exec(db, "DROP INDEX k");
  }
  Exec(db, "COMMIT");
  sqlite3_close(db);
}

}  // namespace zc::bench
