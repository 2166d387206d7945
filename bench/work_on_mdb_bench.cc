// A whole silent database run on a synthetic project, next to the floor:
// raw SQLite inserting the same rows and doing the same keyed updates, and
// next to the same run on the project kept as Access files.
//   work_on_mdb_bench [machines] [template rows] [earlier rows]
// Each side runs in a child process of its own, so its peak memory is its own.
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "presets/preparation.h"
#include "support/db_builder.h"
#include "support/temp_project.h"

namespace {

using zc::db::Value;
using zc::testing::Row;

struct Size {
  int machines, template_rows, earlier_rows;
};

// Positions of the test template's fields (see PresetColumns) plus A and B.
enum { kId, kPart, kMachine, kType, kVarName, kCategory, kIsBit, kOffset, kText, kPage, kAbsMin };

class QuietUi : public zc::platform::Ui {
 public:
  zc::platform::Answer Show(const zc::platform::MessageBox& box) override {
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

void BuildProject(const std::string& root, const Size& size, bool access) {
  const auto build = access ? zc::testing::BuildAccessDatabase : zc::testing::BuildDatabase;
  std::string cfg = "[Project]\r\nDataBaseAdditionalFields=A,B\r\n";
  std::string ini = "[Project]\r\nNumberOfMachines=" + std::to_string(size.machines) + "\r\n";
  for (int m = 1; m <= size.machines; ++m) cfg += "ForMachine" + std::to_string(m) + "=true\r\n";
  zc::testing::WriteFile(root + "/Zantel/Zantel.cfg", cfg);
  zc::testing::WriteFile(root + "/parameter/Program.ini", ini);
  auto columns = zc::testing::PresetColumns({"A", "B"});
  std::vector<Row> template_rows, earlier;
  for (int i = 0; i < size.template_rows; ++i) template_rows.push_back(TemplateRow(i));
  for (int r = 0; r < size.earlier_rows; ++r) {
    earlier.push_back(EarlierRow(r / size.template_rows % size.machines, r % size.template_rows));
  }
  build(
      root + "/Zantel/Zantel_Source.mdb",
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
  zc::PresetRun run(zc::testing::FactsFor(root + "/Bin/Zantel_Config", "/EXTERNAL=SILENT",
                                          root + "/TolvaServicePack.log"),
                    ui);
  run.SilentMode = true;
  run.ProgramIniPath = root + "/parameter/Program.ini";
  run.ExistingMachines = {""};
  for (int m = 1; m <= size.machines; ++m)
    run.ExistingMachines.push_back("Machine" + std::to_string(m));
  zc::WorkOnMDB(run);
  run.FinishPendingWrites();
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
    zc::db::Statement rename(db,
                             "UPDATE PRESET_DEFS SET var_name=?1 WHERE var_name=?2 COLLATE NOCASE");
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

// The floor: the same rows inserted and the same keyed updates (the name
// conversions and the carried values), in raw SQLite.
void RawFloor(const std::string& root, const Size& size) {
  RawNameConversions(root, size);
  std::string path = root + "/raw.mdb";
  zc::testing::BuildDatabase(path, {{"PRESET_DEFS", zc::testing::PresetColumns({"A", "B"}), {}}});
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  Exec(db, "BEGIN");
  {
    zc::db::Statement insert(db,
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
    zc::db::Statement update(
        db,
        "UPDATE PRESET_DEFS SET abs_min=?1, abs_max=?2, min=?3, max=?4, pass=?5 WHERE "
        "machine_type=?6 COLLATE NOCASE AND var_name=?7 COLLATE NOCASE AND offset_or_bitno=?8");
    for (int r = 0; r < size.earlier_rows; ++r) {
      Row row = EarlierRow(r / size.template_rows % size.machines, r % size.template_rows);
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

struct Measured {
  double seconds;
  long peak_kib;
};

Measured InChild(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  pid_t child = fork();
  if (child == 0) {
    work();
    std::_Exit(0);
  }
  int status = 0;
  struct rusage usage {};
  wait4(child, &status, 0, &usage);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "child failed\n");
  return {seconds, usage.ru_maxrss};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 4) {  // profiling: the whole run alone, in this process ([access] for Access files)
    Size size{std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3])};
    BuildProject(argv[4], size, argc > 5 && std::string(argv[5]) == "access");
    WholeRun(argv[4], size);
    return 0;
  }
  Size size{argc > 1 ? std::atoi(argv[1]) : 5, argc > 2 ? std::atoi(argv[2]) : 20000,
            argc > 3 ? std::atoi(argv[3]) : 100000};
  zc::testing::TempDir dir;
  const std::string sqlite = dir.path() + "/sqlite", access = dir.path() + "/access";
  InChild([&] { BuildProject(sqlite, size, false); });  // keeps this process small
  InChild([&] { BuildProject(access, size, true); });
  Measured whole = InChild([&] { WholeRun(sqlite, size); });
  Measured jet = InChild([&] { WholeRun(access, size); });
  Measured floor = InChild([&] { RawFloor(sqlite, size); });
  double rows = static_cast<double>(size.machines) * size.template_rows;
  std::printf("project: %d machines x %d template rows (17 fields), %d earlier rows\n",
              size.machines, size.template_rows, size.earlier_rows);
  std::printf("whole run: %8.2f s  %7.2f us/row  peak %6.1f MiB\n", whole.seconds,
              whole.seconds / rows * 1e6, whole.peak_kib / 1024.0);
  std::printf("raw floor: %8.2f s  %7.2f us/row  peak %6.1f MiB\n", floor.seconds,
              floor.seconds / rows * 1e6, floor.peak_kib / 1024.0);
  std::printf("Access run: %7.2f s  %7.2f us/row  peak %6.1f MiB\n", jet.seconds,
              jet.seconds / rows * 1e6, jet.peak_kib / 1024.0);
  std::printf("ratio whole/floor: %.2f\n", whole.seconds / floor.seconds);
  std::printf("ratio Access/SQLite files: %.2f\n", jet.seconds / whole.seconds);
  return 0;
}
