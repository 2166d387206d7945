// What a run did to the operators' settings, written beside the component
// database after every run: the only place where settings a run drops show.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zc {

struct RunReport {
  // Machines in list order with the rows generated for them; -1 when the
  // machine was not included.
  std::vector<std::pair<std::string, std::int64_t>> generated;
  // A preview changes nothing: the report tells what a run would do, and
  // lists the rows whose values would be carried.
  bool preview = false;
  // Why the run rebuilt nothing, when it stopped before the work.
  std::string stopped;
  // The rebuilt table was held back: what it would have dropped is not dropped.
  bool withheld = false;
  bool take_over_ran = false;
  // The earlier database could not be opened, or its rows not even counted:
  // nothing of it is read again, nor carried.
  bool earlier_unreadable = false;
  std::int64_t earlier_rows = 0;
  std::int64_t carried = 0;
  std::int64_t failed = 0;  // earlier rows that a failure kept from being carried
  // "machine | variable | offset | abs_min | abs_max | min | max | pass", and
  // why, for a row whose key could not be looked up
  std::vector<std::string> not_carried;
  std::vector<std::string> carried_rows;   // listed in a preview only, like not_carried
  std::vector<std::string> matched_twice;  // the key and how many rows matched
  std::vector<std::string> notes;          // imports and other things the run did
};

// The report as text, lines ending in CR LF.
std::string FormatRunReport(const RunReport& report, const std::string& heading);

}  // namespace zc
