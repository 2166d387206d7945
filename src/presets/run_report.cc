#include "presets/run_report.h"

namespace zc {
namespace {

void Line(std::string& out, const std::string& text) { out += text + "\r\n"; }

void List(std::string& out, const std::string& title, const std::vector<std::string>& lines,
          const std::string& header = "") {
  Line(out, "");
  Line(out, title + ": " + std::to_string(lines.size()));
  if (!lines.empty() && !header.empty()) Line(out, "  " + header);
  for (const std::string& line : lines) Line(out, "  " + line);
}

constexpr char kRowHeader[] =
    "machine_type | var_name | offset_or_bitno | abs_min | abs_max | min | max | pass";

void Generated(std::string& out, const RunReport& report) {
  Line(out, "Generated rows per machine:");
  std::int64_t total = 0;
  for (const auto& [machine, rows] : report.generated) {
    Line(out, "  " + (machine.empty() ? std::string("(no name)") : machine) + ": " +
                  (rows < 0 ? std::string("not configured") : std::to_string(rows)));
    total += rows < 0 ? 0 : rows;
  }
  Line(out, "  Total: " + std::to_string(total));
}

void Earlier(std::string& out, const RunReport& report) {
  if (report.earlier_unreadable) {
    Line(out,
         "The earlier table could not be read (see the error log): its operator values are "
         "not carried.");
    return;
  }
  if (!report.take_over_ran) {
    Line(out, "No earlier table: no operator values to carry over.");
    return;
  }
  // A preview, or a run whose table was held back, changed nothing: it tells
  // what putting the table in place would do.
  const bool would = report.preview || report.withheld;
  const std::string were = would ? "would be" : "were";
  const std::string were_not = would ? "would NOT be" : "were NOT";
  const std::string are = would ? "would be" : "are";
  Line(out, "Earlier rows whose operator values " + were + " carried: " +
                std::to_string(report.carried) + " of " + std::to_string(report.earlier_rows));
  if (report.preview) {
    List(out, "Earlier rows whose values would be carried", report.carried_rows, kRowHeader);
  }
  List(out,
       "Earlier rows whose values " + were_not +
           " carried (no generated row matches, or "
           "the key cannot be looked up; these settings " +
           are + " dropped)",
       report.not_carried, kRowHeader);
  List(out,
       "Earlier rows that matched more than one generated row (only the first took the values)",
       report.matched_twice);
}

}  // namespace

std::string FormatRunReport(const RunReport& report, const std::string& heading) {
  std::string out;
  Line(out, heading);
  if (report.preview) {
    Line(out,
         "PREVIEW: no database, configuration stamp or file time was changed; this report tells "
         "what a run would do.");
  }
  Line(out, "");
  if (report.stopped.empty()) {
    Generated(out, report);
    Line(out, "");
    Earlier(out, report);
  } else {
    Line(out, report.stopped);
  }
  if (!report.notes.empty()) List(out, "Notes", report.notes);
  return out;
}

}  // namespace zc
