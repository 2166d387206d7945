#include "app/win32/window_app.h"

#include <io.h>

#include <cstdio>
#include <optional>
#include <stdexcept>

#include "app/win32/main_window_view.h"
#include "app/win32/win32_ui.h"

namespace zc::win32 {
namespace {

bool HasOutput(DWORD which) {
  HANDLE handle = ::GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// Points a C stream that has no place to write at the console.
void ToConsole(FILE* stream, DWORD which) {
  if (HasOutput(which) || std::freopen("CONOUT$", "w", stream) == nullptr) return;
  ::SetStdHandle(which, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))));
}

}  // namespace

void UseParentConsole() {
  if (HasOutput(STD_OUTPUT_HANDLE) && HasOutput(STD_ERROR_HANDLE)) return;
  if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started from Explorer
  ToConsole(stdout, STD_OUTPUT_HANDLE);
  ToConsole(stderr, STD_ERROR_HANDLE);
}

int RunWindow(platform::ProcessFacts facts, DatabaseWork WorkOnMDB) {
  Win32Ui ui(platform::FileNameWithoutExtension(facts.executable_path));
  Program run(std::move(facts), ui);
  frm_Zantel_Config_Exe window(run, std::move(WorkOnMDB));
  std::optional<MainWindowView> view;
  try {
    view.emplace(window);
  } catch (const std::runtime_error& no_window) {
    // Nothing could show a message box either: say so where a starter reads.
    std::fprintf(stderr, "%s\n", no_window.what());
    return exit_status::kEndedOnFailure;
  }
  // The window needs no console; closing the one it came from must not end it.
  ::FreeConsole();
  ui.SetWindow(&*view);
  window.Form_Load();
  view->Show();
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) view->Dispatch(message);
  // Only a confirmed close lets the window go: the run was given up.
  return exit_status::kCancelled;
}

}  // namespace zc::win32
