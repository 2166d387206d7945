#include "app/win32/main_window_view.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <string>

#include "app/win32/resource_ids.h"

namespace zc::win32 {
namespace {

// A fixed size: the controls keep their design places, so the window offers
// no sizing border and no maximise box.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The progress bar inside the frame, in pixels at 96 dpi.
constexpr int kProgressMargin = 40;
constexpr int kProgressHeight = 24;
constexpr int kProgressSteps = 1000;

bool SameControl(const texts::Control& a, const texts::Control& b) {
  return a.Name == b.Name && a.Index == b.Index;
}

void RegisterWindowClass(WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = kWindowClass;
  ::RegisterClassExW(&window_class);  // fails harmlessly when already registered
}

}  // namespace

MainWindowView::MainWindowView(frm_Zantel_Config_Exe& window) : window_(window) {
  INITCOMMONCONTROLSEX classes{sizeof classes,
                               ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&classes);
  RegisterWindowClass(&MainWindowView::WindowProc);
  window_handle_ = ::CreateWindowExW(0, kWindowClass, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0,
                                     0, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
  if (window_handle_ == nullptr) {
    throw std::runtime_error(platform::win32::ErrorText("The window", "could not be opened"));
  }
  CreateControls();
  CreateToolTips();
  Layout(DpiOf(window_handle_));
  for (const texts::Control& control : window_.Controls()) ControlChanged(control);
  CaptionChanged(window_.Caption());
  window_.SetObserver(this);
}

MainWindowView::~MainWindowView() {
  window_.SetObserver(nullptr);
  if (::IsWindow(window_handle_)) ::DestroyWindow(window_handle_);
}

void MainWindowView::CreateControls() {
  const std::vector<texts::Control>& controls = window_.Controls();
  children_.assign(controls.size(), nullptr);
  fonts_.resize(controls.size());
  pictures_.resize(controls.size());
  // Created in tab order: the order of the children is the order of Tab.
  std::vector<size_t> by_tab_index(controls.size());
  std::iota(by_tab_index.begin(), by_tab_index.end(), size_t{0});
  std::stable_sort(by_tab_index.begin(), by_tab_index.end(),
                   [&](size_t a, size_t b) { return controls[a].TabIndex < controls[b].TabIndex; });
  for (size_t position : by_tab_index) {
    children_[position] = CreateControl(controls[position], kFirstControlId + int(position));
  }
}

HWND MainWindowView::CreateControl(const texts::Control& control, int id) {
  const wchar_t* window_class = WC_BUTTONW;
  DWORD style = WS_CHILD | WS_VISIBLE;
  switch (control.kind) {
    case texts::ControlKind::kFrame:
      style |= BS_GROUPBOX;
      break;
    case texts::ControlKind::kLabel:
      window_class = WC_STATICW;
      style |= SS_LEFT | SS_NOPREFIX | SS_NOTIFY;  // SS_NOTIFY: it shows a tool tip too
      break;
    case texts::ControlKind::kCommandButton:
      style |= BS_OWNERDRAW | WS_TABSTOP;  // owner-drawn: picture and back colour
      break;
    case texts::ControlKind::kCheckBox:
      style |= BS_AUTOCHECKBOX | WS_TABSTOP;
      break;
  }
  HWND child = ::CreateWindowExW(0, window_class, L"", style, 0, 0, 0, 0, window_handle_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
  if (control.kind == texts::ControlKind::kFrame && progress_ == nullptr) {
    progress_ = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 0, 0, child, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(progress_, PBM_SETRANGE32, 0, kProgressSteps);
  }
  return child;
}

void MainWindowView::CreateToolTips() {
  tool_tips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_handle_,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
  for (HWND child : children_) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_handle_;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(tool_tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void MainWindowView::Layout(UINT dpi) {
  dpi_ = dpi;
  SIZE client{::MulDiv(kClientWidthTwips, int(dpi), 1440),
              ::MulDiv(kClientHeightTwips, int(dpi), 1440)};
  SIZE outer = OuterSize(client, kStyle, 0, dpi);
  ::SetWindowPos(window_handle_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  default_font_ = MakeFont(std::nullopt, dpi);
  const std::vector<texts::Control>& controls = window_.Controls();
  for (size_t position = 0; position < controls.size(); ++position) {
    const texts::Control& control = controls[position];
    RECT place = ToPixels(control.geometry, dpi);
    ::MoveWindow(children_[position], place.left, place.top, place.right - place.left,
                 place.bottom - place.top, TRUE);
    fonts_[position] = control.font ? MakeFont(control.font, dpi) : nullptr;
    ::SendMessageW(children_[position], WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(position)),
                   TRUE);
    pictures_[position] = LoadPicture(control.picture, dpi);
  }
  RECT frame{};
  ::GetClientRect(::GetParent(progress_), &frame);
  int margin = Scale(kProgressMargin, dpi), height = Scale(kProgressHeight, dpi);
  ::MoveWindow(progress_, margin, (frame.bottom - height) / 2, frame.right - 2 * margin, height,
               TRUE);
  ::SendMessageW(tool_tips_, TTM_SETMAXTIPWIDTH, 0, Scale(400, dpi));
}

HFONT MainWindowView::FontOf(size_t position) const {
  return fonts_[position] ? fonts_[position].get() : default_font_.get();
}

HBRUSH MainWindowView::Brush(std::uint32_t bgr) {
  Gdi<HBRUSH>& brush = brushes_[bgr];
  if (!brush) brush.reset(::CreateSolidBrush(bgr));  // &H00BBGGRR is a COLORREF
  return brush.get();
}

void MainWindowView::Show() {
  HMONITOR monitor = ::MonitorFromWindow(window_handle_, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ::GetMonitorInfoW(monitor, &info);
  RECT outer{};
  ::GetWindowRect(window_handle_, &outer);
  int width = outer.right - outer.left, height = outer.bottom - outer.top;
  ::SetWindowPos(window_handle_, nullptr, (info.rcWork.left + info.rcWork.right - width) / 2,
                 (info.rcWork.top + info.rcWork.bottom - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
  ::ShowWindow(window_handle_, SW_SHOW);
  ::UpdateWindow(window_handle_);
  ::SetForegroundWindow(window_handle_);
}

void MainWindowView::Dispatch(MSG& message) {
  if (::IsDialogMessageW(window_handle_, &message)) return;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

bool MainWindowView::ShowProgress(std::int64_t done, std::int64_t total) {
  std::int64_t step =
      total > 0 ? std::clamp<std::int64_t>(done * kProgressSteps / total, 0, kProgressSteps)
                : kProgressSteps;
  bool visible = ::IsWindowVisible(progress_) != FALSE;
  if (visible && ::SendMessageW(progress_, PBM_GETPOS, 0, 0) == step) return false;
  ::SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(step), 0);
  if (!visible) ::ShowWindow(progress_, SW_SHOW);
  ::UpdateWindow(progress_);
  return true;
}

void MainWindowView::SetBusyCursor(bool busy) {
  busy_cursor_ = busy;
  POINT pointer{};
  ::GetCursorPos(&pointer);
  HWND under = ::WindowFromPoint(pointer);
  if (under == window_handle_ || ::IsChild(window_handle_, under)) {
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
  }
}

void MainWindowView::CaptionChanged(const std::string& caption) {
  ::SetWindowTextW(window_handle_, Wide(caption).c_str());
}

void MainWindowView::ControlChanged(const texts::Control& control) {
  const std::vector<texts::Control>& controls = window_.Controls();
  for (size_t position = 0; position < controls.size(); ++position) {
    if (!SameControl(controls[position], control)) continue;
    HWND child = children_[position];
    ::EnableWindow(child, control.Enabled ? TRUE : FALSE);
    ::SetWindowTextW(child, Wide(control.Caption).c_str());
    std::wstring tip = Wide(control.ToolTipText);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_handle_;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = tip.data();
    ::SendMessageW(tool_tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    ::InvalidateRect(child, nullptr, TRUE);  // the back colour
  }
}

void MainWindowView::MousePointerChanged(bool busy) {
  if (!busy) ::ShowWindow(progress_, SW_HIDE);
}

}  // namespace zc::win32
