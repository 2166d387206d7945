// Runs the real program in a project tree, as a plant engineer's script
// would: its own process, its own exit status.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace zc::testing {

// Copies the built program to <project>/Bin/Zantel_Config.
std::string InstallProgram(const std::string& project);

// Starts the program without a display, with the service-pack log and what
// it prints (<project>/console.txt) in the project folder. A program that
// hangs is ended after two minutes. With `as_nobody`, it runs as an ordinary
// user (for folder permissions, which do not bind root).
pid_t StartProgram(const std::string& project, const std::vector<std::string>& args,
                   bool as_nobody = false);

// Runs it to its end: its exit status, -1 when it was ended by a signal.
int RunProgram(const std::string& project, const std::vector<std::string>& args,
               bool as_nobody = false);

}  // namespace zc::testing
