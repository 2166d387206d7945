// Runs the real program in a project tree, as a plant engineer's script
// would: its own process, its own exit status, killed when it hangs.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace zc::testing {

struct ProgramResult {
  int exit_status = -1;  // -1 when it was killed
  bool timed_out = false;
  std::chrono::duration<double> took{};
};

// Copies the built program to <project>/Bin/Zantel_Config.
std::string InstallProgram(const std::string& project);

// Starts the program without a display, with the service-pack log and what
// it prints (<project>/console.txt) in the project folder. With
// `as_nobody`, the program runs as an ordinary user (for folder permissions,
// which do not bind root).
pid_t StartProgram(const std::string& project, const std::vector<std::string>& args,
                   bool as_nobody = false);

// Runs it to its end, killing it after `timeout`.
ProgramResult RunProgram(const std::string& project, const std::vector<std::string>& args,
                         std::chrono::seconds timeout = std::chrono::seconds(120),
                         bool as_nobody = false);

}  // namespace zc::testing
