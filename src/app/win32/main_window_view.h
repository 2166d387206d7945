// The window drawn with the Win32 API: it shows what the window model holds
// and forwards clicks, the close box, activation and resizing to its
// handlers. It follows the dpi of the monitor it is on.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "app/main_window.h"
#include "app/win32/win32_window.h"

namespace zc::win32 {

class MainWindowView : public WindowObserver {
 public:
  // Throws std::runtime_error when the system gives it no window (no desktop).
  explicit MainWindowView(frm_Zantel_Config_Exe& window);
  ~MainWindowView() override;
  MainWindowView(const MainWindowView&) = delete;
  MainWindowView& operator=(const MainWindowView&) = delete;

  HWND handle() const { return window_handle_; }
  // Centred on its monitor, in front.
  void Show();
  // Hands one message of the thread on, with the dialog keys (Tab, Space)
  // working between the buttons.
  void Dispatch(MSG& message);

  // How far the work is, shown inside the otherwise empty frame; true when
  // the bar moved.
  bool ShowProgress(std::int64_t done, std::int64_t total);
  // The hourglass over the window while the work runs.
  void SetBusyCursor(bool busy);

  void CaptionChanged(const std::string& caption) override;
  void ControlChanged(const texts::Control& control) override;
  void MousePointerChanged(bool busy) override;

 private:
  void CreateControls();
  HWND CreateControl(const texts::Control& control, int id);
  void CreateToolTips();
  // Places and sizes everything for `dpi`: the design's twips become pixels.
  void Layout(UINT dpi);
  HFONT FontOf(size_t position) const;
  HBRUSH Brush(std::uint32_t bgr);

  // The messages (main_window_events.cc).
  static LRESULT CALLBACK WindowProc(HWND handle, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Click(int id);
  void Close();
  BOOL DrawItem(const DRAWITEMSTRUCT& item);
  LRESULT ColourStatic(HDC dc, HWND child);
  BOOL EraseBackground(HDC dc);
  void DpiChanged(UINT dpi, const RECT& suggested);

  frm_Zantel_Config_Exe& window_;
  HWND window_handle_ = nullptr;
  std::vector<HWND> children_;  // by position in the window's control list
  HWND progress_ = nullptr;
  HWND tool_tips_ = nullptr;
  UINT dpi_ = 96;
  Gdi<HFONT> default_font_;
  std::vector<Gdi<HFONT>> fonts_;  // by position; empty: the default font
  std::vector<Icon> pictures_;     // by position; empty: no picture
  std::map<std::uint32_t, Gdi<HBRUSH>> brushes_;
  bool busy_cursor_ = false;
};

}  // namespace zc::win32
