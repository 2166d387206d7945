// The run-wide values of the preset tables: the naming of the variables, the
// one database engine and what the run report tells.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "db/database.h"
#include "presets/run_report.h"
#include "project/project_run.h"

namespace zc {

// Naming systems, the first index of VarNamePatterns.
inline constexpr int kVisiWin32 = 0;
inline constexpr int kVisiWinStudio = 1;
inline constexpr int kMaxPart = 50;

// How the run names its variables: set by the work before the first row is
// made (the naming system from the settings, the patterns from Source_DEFS).
struct NamingSystem {
  // Name patterns by naming system and part (1..50; index 0 unused); an entry
  // left empty yields an empty variable name.
  std::array<std::array<std::string, kMaxPart + 1>, 2> VarNamePatterns;
  // The naming system of this run: kVisiWin32 or kVisiWinStudio.
  std::int16_t VWStudioIndex = kVisiWin32;
};

struct PresetRun : ProjectRun, NamingSystem {
  PresetRun(platform::ProcessFacts facts, platform::Ui& ui) : ProjectRun(std::move(facts), ui) {
    pending_writes = &engine;
  }
  ~PresetRun() override { pending_writes = nullptr; }

  db::Engine engine;
  RunReport report;
};

}  // namespace zc
