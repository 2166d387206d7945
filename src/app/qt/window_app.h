// A run with the window. This header is free of Qt, so that the program's
// start-up can call it without building against the toolkit.
#pragma once

#include "app/main_window.h"
#include "platform/platform.h"

namespace zc::qt {

// Opens the window for a standalone or integrated start and waits for the
// user. Every way out ends the process from inside (OK, a confirmed Cancel or
// close, a failure answered No, or no display to open the window on), so it
// never returns. The toolkit sees none of the program's arguments: they
// follow the program's own command-line rules only.
int RunWindow(platform::ProcessFacts facts, DatabaseWork WorkOnMDB);

}  // namespace zc::qt
