#include "support/preset_project.h"

namespace zc::testing {

void PresetProject::WriteCfg(const std::string& project_lines) {
  WriteFile(CfgPath(), "[Project]\r\n" + project_lines);
}

void PresetProject::SetMachines(const std::vector<std::string>& names) {
  run.ExistingMachines = {""};
  run.ExistingMachines.insert(run.ExistingMachines.end(), names.begin(), names.end());
}

void PresetProject::BuildSource(const std::vector<std::pair<std::string, std::string>>& columns,
                                const std::vector<Row>& template_rows,
                                const std::vector<Row>& patterns) {
  BuildDatabase(SourcePath(),
                {{"Source_DEFS",
                  {{"System", "TEXT(20)"}, {"Var_Name", "TEXT(255)"}, {"Part", "SHORT"}},
                  patterns},
                 {"Source_PRESET_DEFS", columns, template_rows},
                 {"PRESET_DEFS", columns, {}}});
}

void PresetProject::BuildComponent(const std::vector<std::pair<std::string, std::string>>& columns,
                                   const std::vector<Row>& rows) {
  BuildDatabase(ComponentPath(), {{"PRESET_DEFS", columns, rows}});
}

Row TemplateRow(int id, const std::string& machine_type, const std::string& var_name, int offset,
                db::Value part) {
  return {I(id),     std::move(part), T(machine_type), T("type"), T(var_name), I(1), B(false),
          I(offset), T("text"),       T("page"),       D(1),      D(2),        D(3), D(4),
          I(0)};
}

}  // namespace zc::testing
