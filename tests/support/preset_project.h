// A project tree for the preset procedures: program, settings files, the
// component's configuration file and its databases, built from descriptions.
#pragma once

#include <string>
#include <vector>

#include "presets/preset_run.h"
#include "support/db_builder.h"
#include "support/temp_project.h"

namespace zc::testing {

class PresetProject : public Harness<PresetRun> {
 public:
  explicit PresetProject(const std::string& command_line = "") : Harness(command_line) {}

  std::string SourcePath() const { return Path("Zantel/Zantel_Source.mdb"); }
  std::string ComponentPath() const { return Path("Zantel/Zantel.mdb"); }

  // Zantel.cfg with a [Project] section holding these lines.
  void WriteCfg(const std::string& project_lines) {
    WriteFile(Path("Zantel/Zantel.cfg"), "[Project]\r\n" + project_lines);
  }
  // The machine list as the run holds it after loading.
  void SetMachines(const std::vector<std::string>& names) {
    run.ExistingMachines = {""};
    run.ExistingMachines.insert(run.ExistingMachines.end(), names.begin(), names.end());
  }
  // The source database: Source_DEFS rows (System, Var_Name, Part), the
  // template, and an empty PRESET_DEFS with the template's fields.
  void BuildSource(const Columns& columns, const std::vector<Row>& template_rows,
                   const std::vector<Row>& patterns) {
    BuildDatabase(
        SourcePath(), {{"Source_DEFS",
                        {{"System", "TEXT(20)"}, {"Var_Name", "TEXT(255)"}, {"Part", "SHORT"}},
                        patterns},
                       {"Source_PRESET_DEFS", columns, template_rows},
                       {"PRESET_DEFS", columns, {}}});
  }
  void BuildComponent(const Columns& columns, const std::vector<Row>& rows) {
    BuildDatabase(ComponentPath(), {{"PRESET_DEFS", columns, rows}});
  }
  // The run's writes to both databases made the files' own, as the end of
  // a whole run does.
  void SaveAll() {
    run.engine.Save(SourcePath());
    run.engine.Save(ComponentPath());
  }
  std::vector<Row> Generated() { return ReadTable(SourcePath(), "PRESET_DEFS"); }
  std::vector<Row> Component() { return ReadTable(ComponentPath(), "PRESET_DEFS"); }
};

// A template row of the standard columns: machine_type, var_name, offset and
// part; the five operator values are 1, 2, 3, 4 and 0.
inline Row TemplateRow(int id, const std::string& machine_type, const std::string& var_name,
                       int offset, db::Value part) {
  return {I(id),     std::move(part), T(machine_type), T("type"), T(var_name), I(1), B(false),
          I(offset), T("text"),       T("page"),       D(1),      D(2),        D(3), D(4),
          I(0)};
}

}  // namespace zc::testing
