// The user interface of a run with the Win32 window: MessageBoxW boxes owned
// by the window, the hourglass, pending window messages and the progress of
// the work.
#pragma once

#include <string>

#include "platform/ui.h"

namespace zc::win32 {

class MainWindowView;

// The program's line breaks (LF CR, CR LF, or either alone) as the CR LF that
// a message box breaks its lines at, in UTF-16.
std::wstring BoxText(const std::string& text);

class Win32Ui : public platform::Ui {
 public:
  // `default_title` names boxes whose title is empty: the program's name.
  explicit Win32Ui(std::string default_title) : default_title_(std::move(default_title)) {}

  // The window that owns the boxes and shows the progress; may be null.
  void SetWindow(MainWindowView* window) { window_ = window; }

  platform::Answer Show(const platform::MessageBox& box) override;
  void DoEvents() override;
  void SetBusyPointer(bool busy) override;
  void Progress(std::int64_t done, std::int64_t total) override;
  [[noreturn]] void EndProgram(int exit_code) override;

 private:
  std::string default_title_;
  MainWindowView* window_ = nullptr;
  bool busy_ = false;
};

}  // namespace zc::win32
