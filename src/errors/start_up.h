// Start-up facts every part of the program asks for: the command line's
// values, the start mode and the component's name. They sit beside the error
// routine because every failure report needs them too.
#pragma once

#include <string>
#include <string_view>

#include "errors/run.h"

namespace zc {

// The value of `key` on `command_line`; "" when absent.
std::string ReadCommand(Run& run, std::string_view command_line, std::string_view key);

// Reads the start mode from the command line and sets IntegratedMode and
// SilentMode; true for the integrated start.
bool GetStartModeIntegrated(Run& run);

// The component's name: the executable name less its last seven characters.
std::string GetOCXName(Run& run);

}  // namespace zc
