// What the fuzz targets share: a scratch folder for files, and the one way a
// target reports a broken promise (libFuzzer keeps the input as a crash).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "errors/failure.h"

namespace zc::fuzz {

// A folder of this process's own, in memory where the system offers one, so
// that files written per input cost no disk flushes. Removed at exit.
const std::string& ScratchFolder();

// Prints what was broken and aborts.
[[noreturn]] void Violated(std::string_view promise, std::string_view detail = "");

// Runs `action`; a zc::Failure is an allowed outcome and is returned, any
// other exception breaks the promise that failures are always zc::Failure.
std::optional<Failure> FailureOf(const std::function<void()>& action);

// The text with control bytes written as \xNN, for messages.
std::string Printable(std::string_view text);

}  // namespace zc::fuzz
