#include "presets/generation.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "db/db_failure.h"
#include "errors/procedure.h"
#include "errors/start_up.h"
#include "platform/ansi_text.h"
#include "presets/progress.h"
#include "presets/substitution.h"
#include "presets/tables.h"
#include "project/component_files.h"
#include "settings/ini.h"

namespace zc {
namespace {

using TemplateRows = std::vector<std::vector<db::Value>>;

constexpr const char* kTemplateQuery =
    "SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY Source_PRESET_DEFS.ID";

// The template, read once: every row with every field, as the engine gives them.
TemplateRows LoadTemplate(PresetRun& run, Procedure& proc, db::Recordset& source,
                          std::int32_t rows) {
  int fields = 0;
  proc.Step([&] { fields = source.Fields().Count(); });
  proc.Step([&] { source.MoveFirst(); });
  TemplateRows loaded(rows, std::vector<db::Value>(fields));
  for (std::int32_t i = 0; i < rows; ++i) {
    for (int j = 0; j < fields; ++j) {
      run.DoEvents();
      proc.Step([&] { loaded[i][j] = source.Fields()[j].GetValue(); });
    }
    proc.Step([&] { source.MoveNext(); });
  }
  return loaded;
}

// Which machines get rows. What decides it is read once, at the first
// machine: the start mode, the valid-machines text and the configuration
// file's "ForMachine" flags stay as they are while the rows are made (the run
// writes that file only after the work, for its edit stamp).
class MachineSelection {
 public:
  MachineSelection(ProjectRun& run, const std::string& valid_machines)
      : run_(run), valid_(platform::UpperCase(valid_machines)) {}

  bool Includes(int m) {
    if (!integrated_) integrated_ = GetStartModeIntegrated(run_);
    if (*integrated_) {
      // A text search: an empty name is found in any text but an empty one.
      bool found = !valid_.empty() &&
                   valid_.find(platform::UpperCase(run_.ExistingMachines[m])) != std::string::npos;
      return found || valid_ == "ALL";
    }
    if (!flags_) flags_.emplace(GetCFGPath(run_));
    return flags_->Boolean("Project", "ForMachine" + std::to_string(m));
  }

 private:
  ProjectRun& run_;
  const std::string valid_;  // upper-cased
  std::optional<bool> integrated_;
  std::optional<IniEntries> flags_;
};

// Outside an integrated start the names come from Program.ini: a machine
// configured there without a name gets no rows, rather than rows that name
// no machine.
void RequireName(const ProjectMachines& project, bool integrated, int m) {
  if (integrated || !project.ExistingMachines[m].empty()) return;
  const std::string n = std::to_string(m);
  throw Failure(failures::kInvalidArgument,
                "Machine " + n +
                    " has no name: MachineName is missing or empty in section [Machine" + n +
                    "] of " + project.ProgramIniPath + ". No rows are made for it.");
}

// Both forms of a variable name from its part's patterns; the component
// database's rows are converted to the run's form, which is returned. That
// database is found at the first name and kept in `earlier` ("" for none):
// nothing adds, removes or replaces it while the rows are made.
std::string VariableName(PresetRun& run, std::optional<std::string>& earlier, db::Recordset& target,
                         const std::string& bare, const std::string& machine) {
  int part = PartNumber(target.Fields()[tables::kPart].GetValue());
  std::string forms[2];
  for (int system : {kVisiWin32, kVisiWinStudio}) {
    std::string name = ReplaceSearchItem(run, run.VarNamePatterns[system][part],
                                         tables::kVarNamePlaceholder, bare);
    name = ReplaceSearchItem(run, name, tables::kMachinePlaceholder, machine);
    forms[system] = ReplaceSearchItem(run, name, tables::kMachinePlaceholder, machine);
  }
  if (!earlier) earlier = ExistingComponentDatabase(run);
  VarNameInQuelleErsetzen(run, *earlier, forms[kVisiWin32], forms[kVisiWinStudio]);
  return forms[run.VWStudioIndex];
}

class RowBuilder {
 public:
  RowBuilder(PresetRun& run, Procedure& proc, db::Recordset& target)
      : run_(run), proc_(proc), target_(target) {
    proc.Step([&] {
      for (int j = 0; j < target.Fields().Count(); ++j) {
        names_.push_back(target.Fields()[j].Name());
        sizes_.push_back(target.Fields()[j].Type().size);
        is_var_name_.push_back(platform::EqualIgnoringCase(names_.back(), tables::kVarName));
      }
    });
  }

  // Adds one copy of a template row for a machine. A failing field does not
  // drop the row: the other fields are written and the row is stored.
  void Add(const std::vector<db::Value>& row, const std::string& machine) {
    run_.DoEvents();
    const std::int32_t id = next_id_;
    proc_.Step([&] { target_.AddNew(); });
    proc_.Step([&] { target_.Fields()[tables::kId].SetValue(db::Value::Integer(id)); });
    proc_.Step([&] {
      if (next_id_ == INT32_MAX) failures::Overflow();
      ++next_id_;
    });
    for (size_t j = 1; j < is_var_name_.size() && j < row.size(); ++j) {
      run_.DoEvents();
      proc_.Step([&] {
        try {
          target_.Fields()[static_cast<int>(j)].SetValue(FieldValue(row, j, machine));
        } catch (const Failure& failure) {
          if (failure.number != db::code::kFieldTooSmall) throw;
          throw Failure(failure.number, TooSmall(failure, j, machine, id, row[0]), failure.source);
        }
      });
    }
    proc_.Step([&] { target_.Update(); });
  }

 private:
  db::Value FieldValue(const std::vector<db::Value>& row, size_t j, const std::string& machine) {
    const db::Value& value = row[j];
    if (!value.IsText()) return value;
    if (is_var_name_[j])
      return db::Value::Text(VariableName(run_, earlier_, target_, value.AsText(), machine));
    return db::Value::Text(
        ReplaceSearchItem(run_, value.AsText(), tables::kMachinePlaceholder, machine));
  }

  // Names the field, the machine and the first row whose value did not fit.
  // The rows after it that fail alike repeat that text, so they are counted
  // rather than listed one by one.
  std::string TooSmall(const Failure& failure, size_t j, const std::string& machine,
                       std::int32_t id, const db::Value& template_id) {
    std::string& text = too_small_[names_[j] + '\n' + machine];
    if (text.empty()) {
      text = failure.description + " (field " + names_[j] + ", at most " +
             std::to_string(sizes_[j]) + " characters; machine " + machine +
             "; first in the row of ID " + std::to_string(id) + " from template row ID " +
             template_id.ToText() + ")";
    }
    return text;
  }

  PresetRun& run_;
  Procedure& proc_;
  db::Recordset& target_;
  std::vector<std::string> names_;
  std::vector<int> sizes_;
  std::vector<bool> is_var_name_;
  std::map<std::string, std::string> too_small_;  // by field and machine
  std::optional<std::string> earlier_;            // the component database, "" for none
  std::int32_t next_id_ = 1;
};

}  // namespace

int PartNumber(const db::Value& part) {
  if (part.IsNull()) failures::InvalidUseOfNull();
  std::optional<double> number =
      part.IsText() ? db::NumberOfText(part.AsText()) : std::optional(part.AsNumber());
  if (!number) failures::TypeMismatch();
  double whole = std::nearbyint(*number);
  // Written so that a text reading "nan" is out of range too.
  if (!(whole >= 1 && whole <= kMaxPart)) failures::SubscriptOutOfRange();
  return static_cast<int>(whole);
}

void CreateRecordSets(PresetRun& run, db::Database& db) {
  Procedure proc(run, "CreateRecordSets");
  std::string valid;
  std::unique_ptr<db::Recordset> target, source;
  std::int32_t rows = 0;
  proc.Step([&] { valid = GetValidMachines(run); });
  proc.Step([&] { target = db.OpenRecordset(tables::kPresetDefs); });
  proc.Step([&] { source = db.OpenRecordset(kTemplateQuery); });
  if (!target || !source) return;  // reported; nothing can be generated without them
  proc.Step([&] { rows = static_cast<std::int32_t>(source->RecordCount()); });
  if (rows == 0) return;
  TemplateRows loaded = LoadTemplate(run, proc, *source, rows);
  RowBuilder builder(run, proc, *target);
  if (!proc.Step([&] {
        if (run.ExistingMachines.empty()) failures::SubscriptOutOfRange();
      }))
    return;
  int machines = static_cast<int>(run.ExistingMachines.size()) - 1;
  ProgressReport progress(run.ui, std::int64_t{machines} * rows);
  MachineSelection selection(run, valid);
  for (int m = 1; m <= machines; ++m) {
    bool included = false;
    proc.Step([&] { included = selection.Includes(m); });
    const bool named = !included || proc.Step([&] { RequireName(run, run.IntegratedMode, m); });
    for (std::int32_t i = 0; i < rows; ++i) {
      if (included && named) builder.Add(loaded[i], run.ExistingMachines[m]);
      progress.Advance(1);
    }
    run.report.generated.emplace_back(run.ExistingMachines[m], !included ? -1 : named ? rows : 0);
  }
}

}  // namespace zc
