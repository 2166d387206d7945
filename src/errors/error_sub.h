// The one routine every failure is reported to, and the end of the program.
#pragma once

#include <cstdint>
#include <string>

#include "errors/run.h"

namespace zc {

// Decisions of the error routine; handlers test only for kEndProgram.
namespace decision {
constexpr std::int32_t kNoAnswer = 0;
constexpr std::int32_t kEndProgram = 1;
constexpr std::int32_t kResume = 2;
}  // namespace decision

// Logs the failure, tells the user (or, silent, the service-pack log) and
// returns the decision: end the program, or resume with the next step.
std::int32_t ErrorSub(Run& run, std::int32_t ErrNumber, const std::string& ErrSource,
                      const std::string& ErrDescription, const std::string& ProcName, bool Fatal);

// Logs how often each failure that was shown once has repeated since.
void LogRepeatedFailures(Run& run);

// Ends the program at once, with what has been written kept.
[[noreturn]] void EndProgram(Run& run, int exit_code);

}  // namespace zc
