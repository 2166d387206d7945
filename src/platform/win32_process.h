// How the Windows port reads the process's own texts; apart from
// CurrentProcess so that tests can hand in the texts Windows would.
#pragma once

#include <string>
#include <string_view>

namespace zc::platform::win32 {

// The argument text of a command line as GetCommandLineW gives it: the
// program's own path (quoted or not) and the blanks after it are dropped, the
// rest is kept as it stands.
std::string ArgumentText(std::wstring_view command_line);

// The first variable of an environment block ("NAME=value\0...\0\0"), skipping
// the shell's per-drive folders ("=C:=C:\Plant"); "" when there is none.
std::string FirstVariable(const wchar_t* environment_block);

}  // namespace zc::platform::win32
