#include "app/win32/win32_ui.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/win32/main_window_view.h"

namespace zc::win32 {
namespace {

UINT StyleOf(const platform::MessageBox& box) {
  UINT style = MB_APPLMODAL | MB_SETFOREGROUND;
  style |= box.buttons == platform::Buttons::kYesNo ? MB_YESNO : MB_OK;
  switch (box.icon) {
    case platform::Icon::kInformation:
      style |= MB_ICONINFORMATION;
      break;
    case platform::Icon::kExclamation:
      style |= MB_ICONEXCLAMATION;
      break;
    case platform::Icon::kCritical:
      style |= MB_ICONERROR;
      break;
  }
  bool no_first =
      box.buttons == platform::Buttons::kYesNo && box.default_button == platform::Answer::kNo;
  return style | (no_first ? MB_DEFBUTTON2 : MB_DEFBUTTON1);
}

platform::Answer AnswerOf(int button) {
  switch (button) {
    case IDOK:
      return platform::Answer::kOk;
    case IDYES:
      return platform::Answer::kYes;
    case IDNO:
      return platform::Answer::kNo;
  }
  return platform::Answer::kNone;  // Esc or the close box of a Yes/No box
}

// A Yes/No message box has neither Esc nor a close box: the user would have
// to say "No", which may end the program. This box gets both, and both end
// it without an answer.
HHOOK box_hook = nullptr;

LRESULT CALLBACK EndsWithoutAnswer(HWND box, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR id, DWORD_PTR) {
  if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL)) {
    ::EndDialog(box, IDCANCEL);
    return 0;
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(box, &EndsWithoutAnswer, id);
  return ::DefSubclassProc(box, message, wparam, lparam);
}

LRESULT CALLBACK OnBoxActivated(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    auto box = reinterpret_cast<HWND>(wparam);
    wchar_t window_class[16] = L"";
    ::GetClassNameW(box, window_class, 16);
    if (std::wstring_view(window_class) == L"#32770") {  // the dialog class of message boxes
      ::SetWindowSubclass(box, &EndsWithoutAnswer, 1, 0);
      ::EnableMenuItem(::GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
      ::UnhookWindowsHookEx(box_hook);
      box_hook = nullptr;
    }
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

std::wstring BoxText(const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\n' && c != '\r') {
      shown += c;
      continue;
    }
    char partner = c == '\n' ? '\r' : '\n';
    if (i + 1 < text.size() && text[i + 1] == partner) ++i;
    shown += "\r\n";
  }
  return Wide(shown);
}

platform::Answer Win32Ui::Show(const platform::MessageBox& box) {
  // A question wants the ordinary pointer, even in the middle of the work.
  if (busy_ && window_ != nullptr) window_->SetBusyCursor(false);
  const std::string& title = box.title.empty() ? default_title_ : box.title;
  if (box.buttons == platform::Buttons::kYesNo) {
    box_hook = ::SetWindowsHookExW(WH_CBT, &OnBoxActivated, nullptr, ::GetCurrentThreadId());
  }
  int button = ::MessageBoxW(window_ != nullptr ? window_->handle() : nullptr,
                             BoxText(box.text).c_str(), Wide(title).c_str(), StyleOf(box));
  if (box_hook != nullptr) {
    ::UnhookWindowsHookEx(box_hook);
    box_hook = nullptr;
  }
  if (busy_ && window_ != nullptr) window_->SetBusyCursor(true);
  return AnswerOf(button);
}

void Win32Ui::DoEvents() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that waits for it
      return;
    }
    if (window_ != nullptr) {
      window_->Dispatch(message);
    } else {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

void Win32Ui::SetBusyPointer(bool busy) {
  busy_ = busy;
  if (window_ != nullptr) window_->SetBusyCursor(busy);
}

void Win32Ui::Progress(std::int64_t done, std::int64_t total) {
  if (window_ != nullptr) window_->ShowProgress(done, total);
}

void Win32Ui::EndProgram(int exit_code) {
  std::fflush(nullptr);
  std::_Exit(exit_code);
}

}  // namespace zc::win32
