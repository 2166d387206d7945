#include "program/project_files.h"

#include "jet/catalog.h"
#include "jet/data_page.h"
#include "jet/page_file.h"
#include "support/program_runner.h"
#include "support/temp_project.h"

namespace zc::testing {
namespace {

Row Preset(int id, const std::string& machine, const std::string& var, int offset, double value) {
  return {I(id),  I(1),   T(machine), T("REAL"),    T(var),       I(1),         B(false), I(offset),
          T("t"), T("p"), D(value),   D(value + 1), D(value + 2), D(value + 3), I(1)};
}

// The machine of each earlier row: its rows go round the machines, a
// template's worth each.
int MachineOf(int earlier_row, int machines, int template_rows) {
  return earlier_row / template_rows % machines + 1;
}

}  // namespace

void WriteHealthyProject(const std::string& root, int machines, int template_rows, int earlier_rows,
                         bool access) {
  const auto build = access ? BuildAccessDatabase : BuildDatabase;
  std::string ini = "[Project]\r\nNumberOfMachines=" + std::to_string(machines) + "\r\n";
  std::string cfg = "[Project]\r\nValidMachines=ALL\r\n";
  std::string common = "[Common]\r\nSaveAndRestore=" + root + "/copy\r\n";
  for (int m = 1; m <= machines; ++m) {
    std::string n = std::to_string(m);
    ini += "[Machine" + n + "]\r\nMachineName=M" + n + "\r\n";
    cfg += "ForMachine" + n + "=true\r\n";
    if (m <= 5) common += "NameM" + n + "=M" + n + "\r\n";
  }
  WriteFile(root + "/parameter/Program.ini", ini);
  WriteFile(root + "/parameter/r7qconfiguration.ini", common);
  WriteFile(root + "/Zantel/Zantel.cfg", cfg);
  std::vector<Row> templates, earlier;
  for (int i = 0; i < template_rows; ++i) {
    templates.push_back(Preset(i + 1, "###machine", "Var" + std::to_string(i), i % 8, 0));
  }
  for (int r = 0; r < earlier_rows; ++r) {
    std::string machine = "M" + std::to_string(MachineOf(r, machines, template_rows));
    int i = r % template_rows;
    earlier.push_back(Preset(r + 1, machine, machine + ".Var" + std::to_string(i), i % 8, 100 + r));
  }
  build(root + "/Zantel/Zantel_Source.mdb",
        {{"Source_DEFS",
          {{"System", "TEXT(20)"}, {"Var_Name", "TEXT(255)"}, {"Part", "SHORT"}},
          {{T("VISIWIN32"), T("###machine.###Var_Name"), I(1)},
           {T("VISIWINSTUDIO"), T("Ch.###machine.###Var_Name"), I(1)}}},
         {"Source_PRESET_DEFS", PresetColumns(), templates}});
  build(root + "/Zantel/Zantel.mdb", {{"PRESET_DEFS", PresetColumns(), earlier}});
  build(root + "/copy/Zantel/Zantel.mdb", {{"PRESET_DEFS", PresetColumns(), earlier}});
  InstallProgram(root);
}

std::vector<Row> RenewedPresets(int machines, int template_rows, int earlier_rows) {
  std::vector<double> values(machines * template_rows, 0);  // the template's
  for (int r = 0; r < earlier_rows; ++r) {
    values[(MachineOf(r, machines, template_rows) - 1) * template_rows + r % template_rows] =
        100 + r;  // a later earlier row wins
  }
  std::vector<Row> rows;
  for (int k = 0; k < machines * template_rows; ++k) {
    std::string machine = "M" + std::to_string(k / template_rows + 1);
    int i = k % template_rows;
    rows.push_back(Preset(k + 1, machine, machine + ".Var" + std::to_string(i), i % 8, values[k]));
  }
  return rows;
}

void MakeLinkedTable(const std::string& path, const std::string& table) {
  constexpr std::uint32_t kLinkedTable = 6;
  jet::PageFile file(path, true);
  const jet::TableDefinition catalog = jet::ReadTableDefinition(file, jet::kCatalogPage);
  const jet::Column* type = catalog.Find("Type");
  for (const jet::CatalogEntry& entry : jet::ReadCatalog(file, catalog)) {
    if (entry.name != table) continue;
    jet::Blob page = file.Read(entry.row.page);
    const jet::RowSpan row = jet::RowAt(file.format(), page, entry.row.row);
    jet::Put16(page, row.start + file.format().row_count_size + type->fixed_offset, kLinkedTable);
    file.Write(entry.row.page, page);
  }
}

}  // namespace zc::testing
