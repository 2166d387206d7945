// The run of the whole program: the run-wide values of every layer below,
// and the window's own on top.
#pragma once

#include <array>
#include <string>

#include "presets/preset_run.h"

namespace zc {

// The widest run type of the layers below the window.
using ProgramBase = PresetRun;

struct Program : ProgramBase {
  using ProgramBase::ProgramBase;

  // Switched only by the question button: OK and Cancel then show their help.
  bool HelpMode = false;
  // Help texts by help number 1..100, filled when the window loads.
  std::array<std::string, 101> HelpTexts;
};

}  // namespace zc
