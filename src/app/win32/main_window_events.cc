// The window's messages: clicks, the close box, drawing, the pointer and dpi
// changes, handed to the window model's handlers.
#include <algorithm>
#include <exception>

#include "app/win32/main_window_view.h"
#include "app/win32/resource_ids.h"

namespace zc::win32 {

LRESULT CALLBACK MainWindowView::WindowProc(HWND handle, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* view = static_cast<MainWindowView*>(create->lpCreateParams);
    view->window_handle_ = handle;
    ::SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  }
  auto* view = reinterpret_cast<MainWindowView*>(::GetWindowLongPtrW(handle, GWLP_USERDATA));
  if (view == nullptr) return ::DefWindowProcW(handle, message, wparam, lparam);
  try {
    return view->Handle(message, wparam, lparam);
  } catch (const std::exception& failure) {
    // Nothing may unwind through the system's message dispatch.
    ::FatalAppExitW(0, Wide(failure.what()).c_str());
    return 0;
  }
}

LRESULT MainWindowView::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) Click(LOWORD(wparam));
      return 0;
    case WM_DRAWITEM:
      return DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
    case WM_CTLCOLORSTATIC:
      return ColourStatic(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_ERASEBKGND:
      return EraseBackground(reinterpret_cast<HDC>(wparam));
    case WM_SETCURSOR:
      if (!busy_cursor_) break;
      ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
      return TRUE;
    case WM_DPICHANGED:
      DpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) window_.Form_Activate();
      break;
    case WM_SIZE:
      window_.Form_Resize();
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(window_handle_, message, wparam, lparam);
}

void MainWindowView::Click(int id) {
  size_t position = static_cast<size_t>(id - kFirstControlId);
  if (id < kFirstControlId || position >= children_.size()) return;  // Enter and Esc
  const std::string& name = window_.Controls()[position].Name;
  if (name == "CommandOK") {
    window_.CommandOK_Click();
  } else if (name == "CommandCancel") {
    window_.CommandCancel_Click();
  } else if (name == "CommandQuest") {
    window_.CommandQuest_Click();
  }
}

void MainWindowView::Close() {
  bool cancel = false;
  window_.Form_QueryUnload(cancel, 0);
  if (!cancel) ::DestroyWindow(window_handle_);
}

BOOL MainWindowView::DrawItem(const DRAWITEMSTRUCT& item) {
  auto found = std::find(children_.begin(), children_.end(), item.hwndItem);
  if (found == children_.end()) return FALSE;
  size_t position = static_cast<size_t>(found - children_.begin());
  const texts::Control& control = window_.Controls()[position];
  DrawPictureButton(item, control, pictures_[position], FontOf(position), Brush(control.BackColor));
  return TRUE;
}

// The header and the frame show the back colour of their control.
LRESULT MainWindowView::ColourStatic(HDC dc, HWND child) {
  auto found = std::find(children_.begin(), children_.end(), child);
  std::uint32_t colour = found == children_.end()
                             ? kFormBackColor
                             : window_.Controls()[size_t(found - children_.begin())].BackColor;
  ::SetBkColor(dc, colour);
  return reinterpret_cast<LRESULT>(Brush(colour));
}

BOOL MainWindowView::EraseBackground(HDC dc) {
  RECT client{};
  ::GetClientRect(window_handle_, &client);
  ::FillRect(dc, &client, Brush(kFormBackColor));
  return TRUE;
}

// Moved to a monitor of another dpi, or the user changed its scaling.
void MainWindowView::DpiChanged(UINT dpi, const RECT& suggested) {
  ::SetWindowPos(window_handle_, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Layout(dpi);
  ::InvalidateRect(window_handle_, nullptr, TRUE);
}

}  // namespace zc::win32
