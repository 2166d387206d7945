// The run-wide values of the preset tables: the name patterns, the naming
// system of the run and the one database engine.
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

struct PresetRun : ProjectRun {
  PresetRun(platform::ProcessFacts facts, platform::Ui& ui) : ProjectRun(std::move(facts), ui) {
    pending_writes = &engine;
  }
  ~PresetRun() override { pending_writes = nullptr; }

  // Name patterns by naming system and part (1..50; index 0 unused); an entry
  // left empty yields an empty variable name.
  std::array<std::array<std::string, kMaxPart + 1>, 2> VarNamePatterns;
  // The naming system of this run: kVisiWin32 or kVisiWinStudio.
  std::int16_t VWStudioIndex = kVisiWin32;

  db::Engine engine;
  RunReport report;
};

}  // namespace zc
