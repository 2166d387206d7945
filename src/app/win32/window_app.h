// A run with the Win32 window. Free of <windows.h>, so that the program's
// start-up can call it without the Win32 headers.
#pragma once

#include "app/main_window.h"
#include "platform/platform.h"

namespace zc::win32 {

// The program is a Windows (GUI) program, so a console that starts it gives
// it none: a silent start, --version and --help write to the console they
// were started from, unless their output is redirected anyway. Call first.
void UseParentConsole();

// Opens the window for a standalone or integrated start and waits for the
// user. Returns the exit status when the window is closed without work; OK
// and a confirmed Cancel end the process from inside and never return.
int RunWindow(platform::ProcessFacts facts, DatabaseWork WorkOnMDB);

}  // namespace zc::win32
