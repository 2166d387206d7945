#include "presets/preparation.h"

#include <memory>
#include <optional>
#include <utility>

#include "db/db_failure.h"
#include "errors/logs.h"
#include "errors/procedure.h"
#include "platform/ansi_text.h"
#include "platform/platform.h"
#include "presets/generation.h"
#include "presets/safeguards.h"
#include "presets/source_tables.h"
#include "presets/substitution.h"
#include "presets/tables.h"
#include "presets/takeover.h"
#include "project/component_files.h"
#include "project/locations.h"
#include "settings/ini.h"

namespace zc {
namespace {

struct Paths {
  std::string source, component, configuration_ini, machine_copy;
  bool integrated = false;
  bool machine_copy_used = false;
  // Keeping the component database before it is replaced: tried, and done.
  bool previous_tried = false, previous_kept = false;
  bool installed = false;
  bool would_install = false;  // a preview's answer to installed
  std::string withheld;        // why the rebuilt table was held back
};

// <component><suffix> beside the component database <component>.mdb.
std::string Beside(const std::string& component, const char* suffix) {
  return component.substr(0, component.size() - 4) + suffix;
}

std::string PreviousPath(const std::string& component) {
  return Beside(component, "_previous.mdb");
}

// Replaces the component database whole; true when it was. The file it
// replaces is kept first as <component>_previous.mdb, so that settings a run
// drops can be recovered. That is a step of its own and best effort: its
// failure is reported but never stops the replacement.
bool ReplaceComponent(PresetRun& run, Procedure& proc, Paths& paths, const std::string& from,
                      const std::string& component) {
  if (platform::FileExists(component)) {
    paths.previous_tried = true;
    paths.previous_kept =
        proc.Step([&] { run.engine.KeepCopy(component, PreviousPath(component)); });
  }
  return proc.Step([&] { run.engine.ReplaceWithCopy(from, component); });
}

std::string MissingMachineCopyText(const std::string& component) {
  std::string file = platform::FileNameOf(component);
  return "Konnte die Datei:\"" + file + "\" in der Vorlage nicht finden!\r\n\r\n" +
         "Ist das Bild in der Vorlage noch nicht vorhanden (also neu)?\r\n" +
         "Dann ist diese Meldung völlig normal und es wird eine neue Datei mit den "
         "Standardwerten erzeugt.";
}

// An earlier database that no reader can open is reported once, here: the
// steps that would read it pass it by.
void ProbeEarlierDatabase(PresetRun& run, Procedure& proc) {
  std::string component = ExistingComponentDatabase(run);
  if (component.empty()) return;
  run.report.earlier_unreadable = !proc.Step([&] { run.engine.OpenDatabase(component); });
}

// The earlier table's operator values carried into the new rows.
void TakeOver(PresetRun& run, Procedure& proc, db::Database& source) {
  std::string component = ExistingComponentDatabase(run);
  if (component.empty()) return;
  std::optional<db::Database> earlier;
  std::unique_ptr<db::Recordset> rs;
  proc.Step([&] { earlier.emplace(run.engine.OpenDatabase(component)); });
  if (!earlier) return;
  run.report.earlier_unreadable = !proc.Step([&] {
    db::TableDefs tables = earlier->TableDefs();
    for (int i = 0; i < tables.Count(); ++i) {
      if (tables[i].Name() == tables::kPresetDefs) rs = earlier->OpenRecordset(tables::kPresetDefs);
    }
  });
  if (rs) {
    GetAddFields(run);
    TakeoverMachineCopyMDBData(run, source, rs);
  }
  earlier->Close();
}

std::string ReportHeading(PresetRun& run, const std::string& component) {
  const platform::Version& v = run.process.version;
  std::string start = run.IntegratedMode ? "integrated" : run.SilentMode ? "silent" : "standalone";
  return run.ExecutableName() + " " + std::to_string(v.major) + "." + std::to_string(v.minor) +
         "." + std::to_string(v.revision) + " run report\r\n" + "Start: " + start + "\r\n" +
         "Component database: " + component + "\r\n" +
         "Naming system: " + tables::kSystemNames[run.VWStudioIndex];
}

// What became of the files, as it turned out.
std::vector<std::string> FileNotes(PresetRun& run, const Paths& paths) {
  std::vector<std::string> notes = run.engine.notes();
  const std::string previous = PreviousPath(paths.component);
  if (paths.previous_kept) {
    notes.push_back("The component database as the display had it before this run is kept as " +
                    previous + ".");
  } else if (paths.previous_tried) {
    notes.push_back("The component database as it was could not be kept as " + previous +
                    " (see the error log).");
  }
  if (paths.machine_copy_used) {
    notes.push_back("The earlier values came from the machine copy " + paths.machine_copy +
                    ", which is left as it was: the settings listed as dropped can be taken "
                    "from there.");
  }
  const std::string why = paths.withheld.empty() ? "." : ": " + paths.withheld + ".";
  if (run.PreviewMode) {
    notes.push_back(paths.would_install
                        ? "A run would replace the component database by the rebuilt one."
                        : "A run would leave the component database as it is" + why);
  } else {
    notes.push_back(paths.installed ? "The component database was replaced by the rebuilt one."
                                    : "The component database was left as it was" + why);
  }
  return notes;
}

// <component>_Report.txt beside the component database, made anew every run.
void WriteReport(PresetRun& run, const Paths& paths) {
  const std::string& component = paths.component;
  run.report.notes = FileNotes(run, paths);
  std::string path = Beside(component, "_Report.txt");
  std::string text = FormatRunReport(run.report, ReportHeading(run, component));
  std::string error = platform::WriteWholeFile(path, platform::ToAnsi(text));
  if (!error.empty()) throw Failure(failures::kFileAccess, "Path/File access error: " + error);
}

// The run's files, and the naming system it writes: VISIWINSTUDIO only
// outside an integrated start, when the program.ini asks for it.
Paths TakePathsAndNamingSystem(PresetRun& run, Procedure& proc) {
  Paths paths;
  proc.Step([&] { paths.source = GetPathSourceOCXMDB(run); });
  proc.Step([&] { paths.component = GetPathOCXMDB(run); });
  proc.Step([&] { paths.configuration_ini = GetR7QConfigurationIniPath(run); });
  proc.Step([&] { paths.machine_copy = GetPathMachineCopyMDB(run, paths.configuration_ini); });
  paths.integrated = run.IntegratedMode;
  proc.Step([&] {
    run.VWStudioIndex =
        !paths.integrated && LoadIniBoolean(run, "Project", "VWStudio", run.ProgramIniPath)
            ? kVisiWinStudio
            : kVisiWin32;
  });
  return paths;
}

// An integrated start works on the machine's copy of the component
// database; without one the user is told that a new database is made.
void PutMachineCopyInPlace(PresetRun& run, Procedure& proc, Paths& paths) {
  if (paths.machine_copy.empty() || !platform::FileExists(paths.machine_copy)) {
    proc.Step([&] {
      run.MsgBox({MissingMachineCopyText(paths.component), "", platform::Buttons::kOk,
                  platform::Icon::kInformation, platform::Answer::kOk});
    });
  } else {
    // The work reads the machine copy as if it had been put in place; the
    // file itself changes only when the rebuilt one replaces it, so a run
    // that holds its table back leaves it exactly as it was. A copy that
    // cannot be read leaves no earlier table to read.
    paths.machine_copy_used =
        proc.Step([&] { run.engine.WorkFrom(paths.component, paths.machine_copy); });
    run.report.earlier_unreadable = !paths.machine_copy_used;
  }
}

// Rebuilds PRESET_DEFS in the source database, generates its rows and
// carries the earlier values over. The new table's rows; nullopt when it
// could not be made.
std::optional<std::int64_t> BuildPresetTable(PresetRun& run, Procedure& proc, const Paths& paths) {
  std::optional<db::Database> source;
  proc.Step([&] { source.emplace(run.engine.OpenDatabase(paths.source)); });
  if (!source) return std::nullopt;
  bool prepared = RebuildPresetTable(proc, *source);
  ProbeEarlierDatabase(run, proc);
  CategorieNachCategoryID(run);
  CreateRecordSets(run, *source);
  TakeOver(run, proc, *source);
  std::int64_t rows = 0;
  if (prepared) {
    proc.Step([&] { rows = source->OpenRecordset(tables::kPresetDefs)->RecordCount(); });
  }
  source->Close();
  return prepared ? std::optional(rows) : std::nullopt;
}

// The rebuilt table is held back when the work's failures cost it its rows
// or every carried value; the error log says why.
bool Withhold(PresetRun& run, Procedure& proc, Paths& paths, std::int64_t rows) {
  paths.withheld = WithheldBecause(run.report, run.failures_reported, rows);
  if (paths.withheld.empty()) return false;
  run.report.withheld = true;
  if (run.PreviewMode) return true;
  proc.Step([&] {
    WriteErrorLog(run, "The component database was left as it was: " + paths.withheld +
                           " (see the failures above).");
  });
  return true;
}

// The source database replaces the component database, unless its table
// could not be made or is held back.
void InstallSource(PresetRun& run, Procedure& proc, Paths& paths,
                   std::optional<std::int64_t> rows) {
  const bool prepared = rows.has_value();
  if (prepared && Withhold(run, proc, paths, *rows)) return;
  if (run.PreviewMode) {
    paths.would_install = prepared;
    return;
  }
  if (prepared) {
    std::string from, component;
    proc.Step([&] { from = GetPathSourceOCXMDB(run); });
    proc.Step([&] { component = GetPathOCXMDB(run); });
    paths.installed = ReplaceComponent(run, proc, paths, from, component);
    return;
  }
  // Copying a source that could not be prepared would leave the display
  // without its preset table; the failures that stopped it are logged.
  proc.Step([&] {
    WriteErrorLog(run,
                  "The component database was left as it was: the new preset table "
                  "could not be built (see the failures above).");
  });
}

// Without a template nothing is rebuilt; nor while the component database
// may not be replaced, which is refused before any file changes.
bool MayStart(PresetRun& run, Procedure& proc, const Paths& paths) {
  if (paths.source.empty()) {
    run.report.stopped = "No template database was found at " +
                         Beside(paths.component, "_Source.mdb") + ": nothing was rebuilt.";
    return false;
  }
  const std::string refused = RefusedComponent(paths.component);
  if (refused.empty()) return true;
  proc.Step([&] { db::Fail(db::code::kCannotOpen, refused, db::source::kEngine); });
  run.report.stopped =
      "The component database may not be replaced now (see the error log): "
      "nothing was rebuilt.";
  return false;
}

}  // namespace

void WorkOnMDB(PresetRun& run) {
  Procedure proc(run, "WorkOnMDB");
  run.report.preview = run.PreviewMode;
  // Only failures of this work can hold its table back: those of the
  // loading are set aside until it ends.
  const bool reported_before = std::exchange(run.failures_reported, false);
  Paths paths = TakePathsAndNamingSystem(run, proc);
  std::optional<platform::FileTimes> times;
  if (MayStart(run, proc, paths)) {
    times = platform::GetFileTimes(paths.source);
    if (paths.integrated) PutMachineCopyInPlace(run, proc, paths);
    // The engine works on scratch copies: a database file changes only when
    // the component database is replaced at the end, whole and atomically. A
    // preview never gets there: its scratch copies are dropped at the end.
    ReadPatterns(run, proc, paths.source);
    InstallSource(run, proc, paths, BuildPresetTable(run, proc, paths));
  }
  proc.Step([&] { WriteReport(run, paths); });
  if (times && !run.PreviewMode) platform::SetFileTimes(paths.source, *times);
  run.failures_reported |= reported_before;
}

}  // namespace zc
