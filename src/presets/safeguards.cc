#include "presets/safeguards.h"

#include "db/db_failure.h"
#include "db/jet_export.h"
#include "platform/platform.h"
#include "presets/tables.h"

namespace zc {

std::string RefusedComponent(const std::string& path) {
  if (!platform::FileExists(path)) return "";
  const std::string lock = db::AccessLockFile(path);
  if (platform::FileExists(lock)) {
    return "The file '" + path + "' is open in the display or in Access (its lock file '" + lock +
           "' exists). Close the display and Access and run again; if nothing has the database "
           "open, the lock file was left behind: delete it and run again.";
  }
  const std::string refused = platform::RefusedWriteReason(path);
  if (refused.empty()) return "";
  return "The file '" + path + "' cannot be replaced (" + refused +
         "). Make it writable, or close the program that holds it open, and run again.";
}

void RequireCarriedFields(db::Database& target, const std::string& source_path) {
  std::unique_ptr<db::Recordset> table = target.OpenRecordset(tables::kPresetDefs);
  for (const char* field : tables::kCarried) {
    try {
      table->Fields()[field];
    } catch (const Failure&) {
      db::Fail(db::code::kItemNotFound,
               "The rebuilt PRESET_DEFS has no field " + std::string(field) +
                   ": its template Source_PRESET_DEFS in " + source_path +
                   " lacks it, so no earlier operator value can be carried.",
               db::source::kFields);
    }
  }
}

std::string WithheldBecause(const RunReport& report, bool failures, std::int64_t rebuilt_rows) {
  if (!failures) return "";
  if (report.earlier_unreadable) {
    return "the earlier table could not be read, so none of its operator values could be "
           "carried; remove the unreadable file to rebuild the table without them";
  }
  if (report.earlier_rows > 0 && rebuilt_rows == 0) {
    return "the rebuilt table has no rows, while the earlier one has " +
           std::to_string(report.earlier_rows);
  }
  if (report.carried == 0 && report.failed > 0) {
    return "none of the earlier table's operator values could be carried";
  }
  return "";
}

}  // namespace zc
