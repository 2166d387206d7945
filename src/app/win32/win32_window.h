// What the Win32 view needs beyond the bare API: owners of GDI objects and
// icons, the dpi arithmetic, the fonts and the drawing of a graphical button.
#pragma once

// clang-format off
#include "platform/win32_text.h"  // windows.h first, and UTF-8 <-> UTF-16
#include <commctrl.h>
// clang-format on
// <windows.h> names MessageBoxA or MessageBoxW "MessageBox"; the user-interface
// port has a struct of that name.
#undef MessageBox

#include <memory>
#include <optional>
#include <type_traits>

#include "texts/controls.h"

namespace zc::win32 {

using platform::win32::Utf8;
using platform::win32::Wide;

struct DeleteGdiObject {
  void operator()(void* object) const { ::DeleteObject(static_cast<HGDIOBJ>(object)); }
};
// Owns a font, brush or bitmap.
template <typename Handle>
using Gdi = std::unique_ptr<std::remove_pointer_t<Handle>, DeleteGdiObject>;

struct DestroyIconHandle {
  void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
// A button's picture, loaded for one dpi.
struct Icon {
  std::unique_ptr<HICON__, DestroyIconHandle> handle;
  SIZE size{};
};

// The dpi of the monitor the window is on (the screen's where the system
// cannot tell per monitor).
UINT DpiOf(HWND window);
// Pixels at 96 dpi to pixels at `dpi`.
int Scale(int pixels_at_96_dpi, UINT dpi);
// The design's twips (1/1440 inch) to pixels at `dpi`.
RECT ToPixels(const texts::Twips& twips, UINT dpi);
// The outer size of a window of that style whose client area is `client`.
SIZE OuterSize(SIZE client, DWORD style, DWORD ex_style, UINT dpi);

// The control's font at `dpi`; nullopt: the dialog font.
Gdi<HFONT> MakeFont(const std::optional<texts::Font>& font, UINT dpi);
// The picture from the program's resource at its design size for `dpi`;
// an empty icon for Picture::kNone.
Icon LoadPicture(texts::Picture picture, UINT dpi);

// Draws an owner-drawn button in the graphical style: its back colour, the
// picture in the middle (greyed when disabled), the caption below it.
void DrawPictureButton(const DRAWITEMSTRUCT& item, const texts::Control& control,
                       const Icon& picture, HFONT font, HBRUSH back);

}  // namespace zc::win32
