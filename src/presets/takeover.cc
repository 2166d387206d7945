#include "presets/takeover.h"

#include <optional>

#include "db/db_failure.h"
#include "db/packed_rows.h"
#include "db/quoting.h"
#include "errors/error_sub.h"
#include "errors/logs.h"
#include "errors/procedure.h"
#include "errors/start_up.h"
#include "platform/ansi_text.h"
#include "platform/platform.h"
#include "presets/progress.h"
#include "presets/safeguards.h"
#include "presets/substitution.h"
#include "presets/tables.h"
#include "project/component_files.h"
#include "project/locations.h"

namespace zc {
namespace {

constexpr const char* kProcName = "TakeoverMachineCopyMDBData";
constexpr int kPlainFields = 15;  // the standard fields and part
const std::string kQ(1, kQuote);
const std::string kBreak(kLFCR);

// The fields each earlier row must have; the category field is named after
// the layout. Of these only the key and the five carried values are kept.
std::vector<std::string> CopyFieldNames(bool older_layout) {
  return {tables::kId,
          tables::kMachineType,
          tables::kType,
          tables::kVarName,
          older_layout ? tables::kCategorie : tables::kCategoryId,
          tables::kIsBitArray,
          tables::kOffsetOrBitno,
          tables::kText,
          tables::kPageName,
          tables::kAbsMin,
          tables::kAbsMax,
          tables::kMin,
          tables::kMax,
          tables::kPass};
}
// Positions in CopyFieldNames of the kept values: machine, variable, offset, then the five.
constexpr int kKept[] = {1, 3, 6, 9, 10, 11, 12, 13};

std::string UpperComponent(PresetRun& run) { return platform::UpperCase(GetOCXName(run)); }
// The configuration file, in quotes, as messages name a file.
std::string QuotedCfg(PresetRun& run) {
  return kQ + platform::PathInMessage(GetOCXName(run) + ".cfg") + kQ;
}

std::string WarningText(PresetRun& run, const std::string& brk) {
  return "WARNING!" + brk + "Machinecopy contains data in fields that won't be taken over!" + brk +
         "Configurationfile " + QuotedCfg(run) + ", missing entry " + kQ +
         "DataBaseAdditionalFields " + kQ + brk + "If you continue now this data will be lost." +
         brk + "Continue?";
}

std::string HeadOfAbort(PresetRun& run) {
  return run.ExecutableName() + " :Database-Error - Contact Administrator!";
}

// Logs why, then raises the fatal failure: outside a silent run the program ends.
void Abort(PresetRun& run, Procedure& proc, const std::string& text) {
  proc.Step([&] { WriteErrorLog(run, text); });
  Procedure fatal(run, kProcName, /*fatal=*/true);
  fatal.Report(Failure(db::code::kTakeOverAborted, "Database-Error - Contact Administrator!",
                       run.ExecutableName()));
}

void WarnAboutUnknownFields(PresetRun& run, Procedure& proc) {
  if (run.SilentMode) {
    proc.Step([&] { WriteServicePackLog(run, WarningText(run, "")); });
    return;
  }
  platform::Answer answer = platform::Answer::kNone;
  proc.Step([&] {
    answer = run.MsgBox({WarningText(run, kBreak), run.ExecutableName(), platform::Buttons::kYesNo,
                         platform::Icon::kExclamation, platform::Answer::kNo});
  });
  if (answer == platform::Answer::kYes) return;
  std::string component = UpperComponent(run);
  Abort(run, proc,
        HeadOfAbort(run) + " Configurationprogram " + kQ + component + kQ + " terminated." +
            " Please check Configuration in " + QuotedCfg(run) + " Restart " +
            platform::PathInMessage(run.ProgramFile()) + "!");
}

// Moves through the earlier rows as far as the table claims; the rows found,
// at most one more than claimed.
std::int32_t CountRows(Procedure& proc, db::Recordset& rs, std::int32_t reported) {
  // An empty earlier table is an ordinary state (no machine was configured
  // last time): there is nothing to count or carry, and nothing to report.
  bool empty = false;
  proc.Step([&] { empty = rs.Eof(); });
  if (reported == 0 && empty) return 0;
  proc.Step([&] { rs.MoveFirst(); });
  for (std::int32_t i = 1; i <= reported; ++i) {
    bool past_last = false;
    proc.Step([&] {
      rs.MoveNext();
      past_last = rs.Eof();
    });
    if (past_last) return i;
  }
  return reported + 1;
}

db::PackedRows ReadRows(PresetRun& run, Procedure& proc, db::Recordset& rs, std::int32_t counted,
                        bool older_layout) {
  std::vector<std::string> names = CopyFieldNames(older_layout);
  std::vector<int> positions(names.size(), -1);
  for (size_t k = 0; k < names.size(); ++k) {
    try {
      positions[k] = rs.Fields()[names[k]].position();
    } catch (const Failure&) {  // reported row by row below, as each read fails
    }
  }
  // Every field is read, as a missing one fails row by row, but only the
  // kept values are copied.
  std::vector<int> slot(names.size(), -1);
  for (size_t s = 0; s < std::size(kKept); ++s) slot[kKept[s]] = static_cast<int>(s);
  db::PackedRows rows;
  if (counted <= 0) return rows;
  proc.Step([&] { rs.MoveFirst(); });
  std::vector<db::Value> kept(std::size(kKept));
  for (std::int32_t r = 0; r < counted; ++r) {
    run.DoEvents();
    for (db::Value& value : kept) value = db::Value();
    for (size_t k = 0; k < names.size(); ++k) {
      proc.Step([&] {
        if (positions[k] < 0) db::ItemNotFound(db::source::kFields);
        const db::Value& value = rs.Fields()[positions[k]].CurrentValue();
        if (slot[k] >= 0) kept[slot[k]] = value;
      });
    }
    rows.Add(kept);
    proc.Step([&] { rs.MoveNext(); });
  }
  return rows;
}

// The first configured field the generated table lacks (names compare
// exactly, the first field not looked at); nullopt when none is missing.
std::optional<std::string> MissingConfiguredField(const AdditionalFieldList& list,
                                                  db::Database& target) {
  if (!list.AdditionalFields) return std::nullopt;
  std::unique_ptr<db::Recordset> table = target.OpenRecordset(tables::kPresetDefs);
  int count = table->Fields().Count();
  const std::vector<std::string>& names = *list.AdditionalFields;
  for (size_t i = 1; i < names.size(); ++i) {
    bool found = false;
    for (int j = 1; j < count && !found; ++j) found = table->Fields()[j].Name() == names[i];
    if (!found) return names[i];
  }
  return std::nullopt;
}

std::string MatchQuery(const AdditionalFieldList& list, const std::vector<db::Value>& row) {
  return "SELECT PRESET_DEFS.ID, PRESET_DEFS.machine_type, PRESET_DEFS.type,"
         " PRESET_DEFS.var_name, PRESET_DEFS.category_id, PRESET_DEFS.isBitArray,"
         " PRESET_DEFS.offset_or_bitno, PRESET_DEFS.text, PRESET_DEFS.page_name,"
         " PRESET_DEFS.abs_min, PRESET_DEFS.abs_max, PRESET_DEFS.min, PRESET_DEFS.max,"
         " PRESET_DEFS.pass" +
         list.AdditionalFieldsSQL + " From PRESET_DEFS " +
         " WHERE (((PRESET_DEFS.machine_type)=" + db::DoubleQuoted(row[0].ToText()) + ")" +
         " AND ((PRESET_DEFS.var_name)=" + db::DoubleQuoted(row[1].ToText()) + ") " +
         " AND ((PRESET_DEFS.offset_or_bitno)=" + row[2].ToText() + "));";
}

std::string DescribeRow(const std::vector<db::Value>& row) {
  std::string text;
  for (size_t i = 0; i < row.size(); ++i) {
    text += (i ? " | " : "") + (row[i].IsNull() ? std::string("(Null)") : row[i].ToText());
  }
  return text;
}

// Copies the five values into the first generated row with the same key. A
// row whose key cannot be looked up is skipped without a failure (the
// caller of an integrated start reads the error log); the run report lists
// it, with the engine's reason.
void CarryRow(PresetRun& run, Procedure& proc, db::Database& target,
              const std::vector<db::Value>& row) {
  std::unique_ptr<db::Recordset> match;
  try {
    match = target.OpenRecordset(MatchQuery(run, row));
  } catch (const Failure& failure) {
    run.report.not_carried.push_back(
        DescribeRow(row) + "   (its key cannot be looked up: " + failure.description + ")");
    return;
  }
  std::int64_t matches = 0;
  if (!proc.Step([&] { matches = match->RecordCount(); })) {
    ++run.report.failed;
    return;
  }
  if (matches == 0) {
    run.report.not_carried.push_back(DescribeRow(row));
    return;
  }
  if (matches > 1) {
    run.report.matched_twice.push_back(DescribeRow({row[0], row[1], row[2]}) + "   (" +
                                       std::to_string(matches) + " rows)");
  }
  proc.Step([&] { match->Edit(); });
  for (int k = 0; k < 5; ++k) {
    proc.Step([&] { match->Fields()[tables::kCarried[k]].SetValue(row[3 + k]); });
  }
  if (!proc.Step([&] { match->Update(); })) {
    ++run.report.failed;
    return;
  }
  ++run.report.carried;
  if (run.report.preview) run.report.carried_rows.push_back(DescribeRow(row));
}

// The earlier rows, counted and checked against the count the table claims.
db::PackedRows ReadEarlierRows(PresetRun& run, Procedure& proc, db::Database& target,
                               db::Recordset& copy, int fields) {
  bool older_layout = false;
  for (int i = 0; i < fields; ++i) {
    proc.Step([&] {
      older_layout |= platform::EqualIgnoringCase(copy.Fields()[i].Name(), tables::kCategorie);
    });
  }
  std::int32_t reported = 0;
  bool listed = proc.Step([&] {
    std::int64_t count = copy.RecordCount();
    if (count > INT32_MAX) failures::Overflow();
    reported = static_cast<std::int32_t>(count);
  });
  // Rows that cannot even be counted (a damaged table) cannot be gone
  // through either: nothing is carried, and no count is compared.
  if (!listed) {
    run.report.earlier_unreadable = true;
    return {};
  }
  std::int32_t counted = CountRows(proc, copy, reported);
  CheckCopyRowCount(run, target, counted, reported);
  return ReadRows(run, proc, copy, counted, older_layout);
}

// A configured field the generated table lacks ends the program, in every
// start mode, before any row is changed.
void EndOnMissingConfiguredField(PresetRun& run, Procedure& proc, db::Database& target) {
  std::optional<std::string> missing;
  proc.Step([&] { missing = MissingConfiguredField(run, target); });
  if (!missing) return;
  std::string component = UpperComponent(run);
  Abort(run, proc,
        "Conflict while attempting to extend database!" + std::string("Configurationsfile ") +
            QuotedCfg(run) + ", demanded field " + kQ + platform::UpperCase(*missing) + kQ +
            "missing in machinecopy-database" + kBreak + "Configuration of " + kQ + component + kQ +
            " aborted.");
  EndProgram(run, exit_status::kEndedOnFailure);  // silent runs end here too
}

}  // namespace

bool CheckCopyRowCount(PresetRun& run, db::Database& target, std::int32_t counted,
                       std::int32_t reported) {
  if (counted == reported) return true;
  Procedure proc(run, kProcName);
  std::int64_t needed = 0;
  proc.Step([&] {
    std::unique_ptr<db::Recordset> table = target.OpenRecordset(tables::kPresetDefs);
    table->MoveLast();
    needed = table->RecordCount();
  });
  if (counted == needed) return true;
  std::string machine_copy;
  proc.Step([&] { machine_copy = GetPathMachineCopyMDB(run, GetR7QConfigurationIniPath(run)); });
  Abort(run, proc,
        HeadOfAbort(run) + " Error in Sourcedatabase (" + machine_copy + "):" + " Counted " +
            std::to_string(counted) + " recordsets while database claims to have " +
            std::to_string(reported) + " recordsets! " + " (" + std::to_string(needed) +
            " needed.");
  return false;
}

void TakeoverMachineCopyMDBData(PresetRun& run, db::Database& targetDb,
                                std::unique_ptr<db::Recordset>& copyRs) {
  Procedure proc(run, kProcName);
  int fields = 0;
  if (copyRs) proc.Step([&] { fields = copyRs->Fields().Count(); });
  if (fields > kPlainFields && run.AdditionalFieldCount == 1) WarnAboutUnknownFields(run, proc);
  if (!copyRs) return;
  db::PackedRows rows = ReadEarlierRows(run, proc, targetDb, *copyRs, fields);
  copyRs.reset();
  run.report.take_over_ran = true;
  run.report.earlier_rows = static_cast<std::int64_t>(rows.size());
  if (rows.size() == 0) return;
  EndOnMissingConfiguredField(run, proc, targetDb);
  if (!proc.Step([&] { RequireCarriedFields(targetDb, GetPathSourceOCXMDB(run)); })) {
    run.report.failed = run.report.earlier_rows;
    return;
  }
  ProgressReport progress(run.ui, static_cast<std::int64_t>(rows.size()));
  for (size_t r = 0; r < rows.size(); ++r) {
    run.DoEvents();
    CarryRow(run, proc, targetDb, rows.Row(r));
    progress.Advance(1);
  }
}

}  // namespace zc
