#include "presets/substitution.h"

#include <memory>
#include <optional>

#include "db/quoting.h"
#include "errors/procedure.h"
#include "platform/ansi_text.h"
#include "platform/platform.h"
#include "presets/tables.h"
#include "project/component_files.h"

namespace zc {

// The component database's path, or "" when there is no such file. The run
// works on its own copy of a file it has open, so that file is there for the
// run until it lets go of it; only another is looked for on disk.
std::string ExistingComponentDatabase(PresetRun& run) {
  if (run.report.earlier_unreadable) return "";
  std::string path = GetPathOCXMDB(run);
  if (path.empty()) return "";
  return run.engine.WorksOn(path) || platform::FileExists(path) ? path : "";
}

std::string ReplaceSearchItem(PresetRun& run, const std::string& text, const std::string& search,
                              const std::string& replacement) {
  Procedure proc(run, "ReplaceSearchItem");
  std::string result = text;
  proc.Step([&] {
    // Upper-casing keeps every character's byte length, so positions carry over.
    auto found = platform::FindIgnoringCase(text, search);
    if (found == std::string::npos) return;
    result.replace(found, search.size(), replacement);
  });
  return result;
}

void VarNameInQuelleErsetzen(PresetRun& run, const std::string& component,
                             const std::string& visiwin32_form,
                             const std::string& visiwinstudio_form) {
  Procedure proc(run, "VarNameInQuelleErsetzen");
  if (component.empty()) return;
  bool to_visiwin32 = run.VWStudioIndex == kVisiWin32;
  const std::string& searched = to_visiwin32 ? visiwinstudio_form : visiwin32_form;
  const std::string& renamed = to_visiwin32 ? visiwin32_form : visiwinstudio_form;
  std::optional<db::Database> db;
  std::unique_ptr<db::Recordset> rs;
  proc.Step([&] { db.emplace(run.engine.OpenDatabase(component)); });
  if (!db) return;
  proc.Step([&] {
    rs = db->OpenRecordset("SELECT PRESET_DEFS.* From PRESET_DEFS WHERE (((PRESET_DEFS.Var_Name)=" +
                           db::DoubleQuoted(searched) + "))");
  });
  if (rs) {
    // A row that cannot be reached ends the loop: where the next one lies is unknown.
    bool more = false;
    proc.Step([&] { more = !rs->Eof(); });
    while (more) {
      proc.Step([&] { rs->Edit(); });
      proc.Step([&] { rs->Fields()[tables::kVarName].SetValue(db::Value::Text(renamed)); });
      proc.Step([&] { rs->Update(); });
      more = false;
      proc.Step([&] {
        rs->MoveNext();
        more = !rs->Eof();
      });
    }
    rs->Close();
  }
  db->Close();
}

void CategorieNachCategoryID(PresetRun& run) {
  Procedure proc(run, "CategorieNachCategoryID");
  std::string path;
  proc.Step([&] { path = ExistingComponentDatabase(run); });
  if (path.empty()) return;
  std::optional<db::Database> db;
  std::optional<db::TableDef> table;
  proc.Step([&] { db.emplace(run.engine.OpenDatabase(path)); });
  if (!db) return;
  proc.Step([&] { table.emplace(db->TableDefs()[tables::kPresetDefs]); });
  if (table) {
    int count = 0;
    proc.Step([&] { count = table->Fields().Count(); });
    for (int i = 0; i < count; ++i) {
      proc.Step([&] {
        db::FieldDef field = table->Fields()[i];
        if (platform::EqualIgnoringCase(field.Name(), tables::kCategorie)) {
          field.SetName(tables::kCategoryId);
        }
      });
    }
    proc.Step([&] { table->Fields().Refresh(); });
  }
  db->Close();
}

}  // namespace zc
