// Names the window and its resources share with the resource script, and
// that a test driver uses to find the real program's window from outside.
#pragma once

// The pictures of the graphical buttons (icons, one size per dpi).
#define ZC_ICON_CHECK_MARK 101
#define ZC_ICON_CROSS 102
#define ZC_ICON_QUESTION_MARK 103

#ifndef RC_INVOKED
namespace zc::win32 {

// The class of the program's main window.
inline constexpr wchar_t kWindowClass[] = L"Zantel_Config_Window";
// A control's child-window id: this plus its position in the window's
// control list. Ids 1 and 2 are left to the dialog keys Enter and Esc.
inline constexpr int kFirstControlId = 100;

}  // namespace zc::win32
#endif
