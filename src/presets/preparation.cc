#include "presets/preparation.h"

#include <memory>
#include <optional>

#include "errors/logs.h"
#include "errors/procedure.h"
#include "platform/ansi_text.h"
#include "platform/platform.h"
#include "presets/generation.h"
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
  // Keeping the replaced component database happens once a run, tried or not.
  bool previous_tried = false, previous_kept = false;
  bool installed = false;
  bool would_install = false;  // a preview's answer to installed
};

// <component>_previous.mdb beside the component database.
std::string PreviousPath(const std::string& component) {
  return component.substr(0, component.size() - 4) + "_previous.mdb";
}

// The first time in a run the component database is replaced, the file it
// replaces is kept as <component>_previous.mdb, so that settings a run drops
// can be recovered. That is a step of its own and best effort: its failure
// is reported but never stops the replacement.
void KeepPrevious(PresetRun& run, Procedure& proc, Paths& paths, const std::string& component) {
  if (paths.previous_tried || !platform::FileExists(component)) return;
  paths.previous_tried = true;
  paths.previous_kept = proc.Step([&] { run.engine.KeepCopy(component, PreviousPath(component)); });
}

// Replaces the component database whole; true when it was.
bool ReplaceComponent(PresetRun& run, Procedure& proc, Paths& paths, const std::string& from,
                      const std::string& component) {
  KeepPrevious(run, proc, paths, component);
  return proc.Step([&] { run.engine.ReplaceWithCopy(from, component); });
}

std::string MissingMachineCopyText(const std::string& component) {
  std::string file = platform::FileNameOf(component);
  return "Konnte die Datei:\"" + file + "\" in der Vorlage nicht finden!\r\n\r\n" +
         "Ist das Bild in der Vorlage noch nicht vorhanden (also neu)?\r\n" +
         "Dann ist diese Meldung völlig normal und es wird eine neue Datei mit den "
         "Standardwerten erzeugt.";
}

// The earlier table's operator values carried into the new rows.
void TakeOver(PresetRun& run, Procedure& proc, db::Database& source, const std::string& component) {
  if (component.empty() || !platform::FileExists(component)) return;
  std::optional<db::Database> earlier;
  std::unique_ptr<db::Recordset> rs;
  proc.Step([&] { earlier.emplace(run.engine.OpenDatabase(component)); });
  if (!earlier) return;
  proc.Step([&] {
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
  if (run.PreviewMode) {
    notes.push_back(paths.would_install
                        ? "A run would replace the component database by the rebuilt one."
                        : "A run would leave the component database as it is.");
  } else {
    notes.push_back(paths.installed ? "The component database was replaced by the rebuilt one."
                                    : "The component database was left as it was.");
  }
  return notes;
}

// <component>_Report.txt beside the component database, made anew every run.
void WriteReport(PresetRun& run, const Paths& paths) {
  const std::string& component = paths.component;
  run.report.notes = FileNotes(run, paths);
  std::string path = component.substr(0, component.size() - 4) + "_Report.txt";
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
  } else if (run.PreviewMode) {
    // The take-over reads the machine copy as if it had been put in place.
    paths.machine_copy_used =
        proc.Step([&] { run.engine.WorkFrom(paths.component, paths.machine_copy); });
  } else {
    paths.machine_copy_used =
        ReplaceComponent(run, proc, paths, paths.machine_copy, paths.component);
  }
}

// Rebuilds PRESET_DEFS in the source database, generates its rows, carries
// the earlier values over and writes the run report. True when the new
// table could be made.
bool BuildPresetTable(PresetRun& run, Procedure& proc, const Paths& paths) {
  std::optional<db::Database> source;
  proc.Step([&] { source.emplace(run.engine.OpenDatabase(paths.source)); });
  if (!source) return false;
  bool prepared = RebuildPresetTable(proc, *source);
  CategorieNachCategoryID(run);
  CreateRecordSets(run, *source);
  TakeOver(run, proc, *source, paths.component);
  source->Close();
  return prepared;
}

// The source database replaces the component database, unless its table
// could not be made.
void InstallSource(PresetRun& run, Procedure& proc, Paths& paths, bool prepared) {
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

}  // namespace

void WorkOnMDB(PresetRun& run) {
  Procedure proc(run, "WorkOnMDB");
  run.report.preview = run.PreviewMode;
  Paths paths = TakePathsAndNamingSystem(run, proc);
  if (paths.source.empty()) return;
  std::optional<platform::FileTimes> times = platform::GetFileTimes(paths.source);
  if (paths.integrated) PutMachineCopyInPlace(run, proc, paths);
  // The engine works on scratch copies: a database file changes only when
  // the component database is replaced at the end, whole and atomically. A
  // preview never gets there: its scratch copies are dropped at the end.
  ReadPatterns(run, proc, paths.source);
  bool prepared = BuildPresetTable(run, proc, paths);
  InstallSource(run, proc, paths, prepared);
  proc.Step([&] { WriteReport(run, paths); });
  if (times && !run.PreviewMode) platform::SetFileTimes(paths.source, *times);
}

}  // namespace zc
