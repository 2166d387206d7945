// The command-line vocabulary: keys are found by plain text search, values run
// from the character after the key's separator to the start of the next key.
#pragma once

#include <string>
#include <string_view>

namespace zc {

inline constexpr std::string_view kKeyExternal = "EXTERNAL";
inline constexpr std::string_view kKeyLogfile = "LOGFILE";
inline constexpr std::string_view kExternalIntegrated = "R7QCFG";
inline constexpr std::string_view kExternalSilent = "SILENT";
inline constexpr std::string_view kKeyPreview = "/PREVIEW";

// The value of `key` in `command_line`, "" when the key is absent. Raises the
// invalid-argument failure when the key is the very last thing on the line,
// with not even a separator after it.
std::string CommandValue(std::string_view command_line, std::string_view key);

// The error log path a command line names under LOGFILE; "" when none can be read.
std::string LogfileOf(std::string_view command_line);

// True when the command line asks for a silent start.
bool CommandAsksSilent(std::string_view command_line);

// True when "/PREVIEW" stands on the line as a word of its own, in any case.
bool CommandAsksPreview(std::string_view command_line);

}  // namespace zc
