// What the program tells whoever asks it for help on the command line: how to
// start it, its keys, its exit statuses and where it logs.
#pragma once

#include <string>

#include "platform/platform.h"

namespace zc {

// True when an argument is "--help", "-h" or "/?".
bool AsksForHelp(int argc, const char* const* argv);

// The help text for the program at its own place, with the paths it would use.
std::string HelpText(const platform::ProcessFacts& facts);

}  // namespace zc
