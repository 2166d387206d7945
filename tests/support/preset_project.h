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

  std::string CfgPath() const { return Path("Zantel/Zantel.cfg"); }
  std::string SourcePath() const { return Path("Zantel/Zantel_Source.mdb"); }
  std::string ComponentPath() const { return Path("Zantel/Zantel.mdb"); }

  // Zantel.cfg with a [Project] section holding these lines.
  void WriteCfg(const std::string& project_lines);
  // The machine list as the run holds it after loading.
  void SetMachines(const std::vector<std::string>& names);
  // The source database: Source_DEFS rows (System, Var_Name, Part), the
  // template, and an empty PRESET_DEFS with the template's fields.
  void BuildSource(const std::vector<std::pair<std::string, std::string>>& columns,
                   const std::vector<Row>& template_rows, const std::vector<Row>& patterns);
  void BuildComponent(const std::vector<std::pair<std::string, std::string>>& columns,
                      const std::vector<Row>& rows);
  // Sets one pattern in the run, as the preparation reads it.
  void SetPattern(int system, int part, const std::string& pattern) {
    run.VarNamePatterns[system][part] = pattern;
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

// A template row of the standard columns: machine_type, var_name, offset and part.
Row TemplateRow(int id, const std::string& machine_type, const std::string& var_name, int offset,
                db::Value part);

}  // namespace zc::testing
