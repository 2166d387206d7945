// The two logs: the error log (one line per reported failure, cancellation or
// aborted take-over) and the service-pack log (what a silent run would have
// shown). Both are only ever appended to, one open-append-close per entry.
#pragma once

#include <string>
#include <string_view>

#include "errors/run.h"

namespace zc {

inline constexpr char kLF = '\n';
inline constexpr char kCR = '\r';
inline constexpr char kQuote = '"';
inline constexpr std::string_view kLFCR = "\n\r";  // the program's own line break
inline constexpr std::string_view kCRLF = "\r\n";

// Where the error log of this run goes.
std::string ErrorLogPath(const Run& run);

// Appends `line` to the error log and returns the note "Error logged to " + the
// path as messages name it. Raises a file-access failure when the log cannot be written.
std::string WriteErrorLog(Run& run, std::string_view line);

// Appends a fault entry with `text` to the service-pack log. Raises a
// file-access failure when the log cannot be written.
void WriteServicePackLog(Run& run, std::string_view text);

// Shows a fault in a critical box titled with the executable name or, in a
// silent run, writes it to the service-pack log.
void ShowOrLogFault(Run& run, std::string_view text);

}  // namespace zc
