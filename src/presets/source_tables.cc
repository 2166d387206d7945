#include "presets/source_tables.h"

#include <memory>

#include "platform/ansi_text.h"
#include "presets/generation.h"
#include "presets/tables.h"

namespace zc {
namespace {

void FallBackToBareNames(NamingSystem& naming) {
  naming.VarNamePatterns[kVisiWin32][1] = tables::kVarNamePlaceholder;
  naming.VarNamePatterns[kVisiWinStudio][1] = tables::kVarNamePlaceholder;
}

// One Source_DEFS row into the pattern table; raises for a row that cannot be read.
void ReadPattern(NamingSystem& naming, db::Recordset& rs) {
  db::Value system = rs.Fields()[tables::kSystem].GetValue();
  for (int s : {kVisiWin32, kVisiWinStudio}) {
    if (system.IsNull() || !platform::EqualIgnoringCase(system.ToText(), tables::kSystemNames[s]))
      continue;
    db::Value pattern = rs.Fields()[tables::kPatternVarName].GetValue();
    if (pattern.IsNull()) failures::InvalidUseOfNull();
    int part = PartNumber(rs.Fields()[tables::kPatternPart].GetValue());
    naming.VarNamePatterns[s][part] = pattern.ToText();
  }
}

}  // namespace

// A table that cannot be gone through ends the reading: where its next row
// lies is unknown.
void ReadPatterns(PresetRun& run, Procedure& proc, const std::string& source) {
  std::unique_ptr<db::Recordset> rs;
  bool more = false;
  bool reached = proc.Step([&] {
    rs = run.engine.OpenDatabase(source).OpenRecordset(tables::kSourceDefs);
    more = !rs->Eof();
  });
  while (reached && more) {
    try {
      ReadPattern(run, *rs);
    } catch (const std::exception&) {
      FallBackToBareNames(run);
    }
    reached = proc.Step([&] {
      rs->MoveNext();
      more = !rs->Eof();
    });
  }
  if (!reached) FallBackToBareNames(run);
}

// PRESET_DEFS dropped and made anew with exactly the template's fields. False
// when the new table could not be made.
bool RebuildPresetTable(Procedure& proc, db::Database& db) {
  proc.Step([&] {
    db::TableDefs tables = db.TableDefs();
    for (int i = 0; i < tables.Count(); ++i) {
      if (tables[i].Name() != tables::kPresetDefs) continue;
      tables.Delete(tables::kPresetDefs);
      tables.Refresh();
      break;
    }
  });
  return proc.Step([&] {
    db::TableDef source = db.TableDefs()[tables::kSourcePresetDefs];
    db::TableDef target = db.CreateTableDef(tables::kPresetDefs);
    for (int j = 0; j < source.Fields().Count(); ++j) {
      db::FieldDef field = source.Fields()[j];
      db::FieldDef created = target.CreateField(field.Name(), field.Type(), field.Size());
      // Created with the default scale, a Decimal field would round the
      // template's values, and an Access file would keep them rounded.
      created.CopyDecimalPlaces(field);
      target.Fields().Append(created);
    }
    db.TableDefs().Append(target);
    db.TableDefs().Refresh();
  });
}

}  // namespace zc
