#include "app/win32/win32_window.h"

#include <cmath>
#include <cwchar>
#include <string>

#include "app/win32/resource_ids.h"

namespace zc::win32 {
namespace {

// A function of user32 that older systems lack: looked up, not linked, so
// that the program still starts there and falls back to the system's dpi.
template <typename Function>
Function* User32Function(const char* name) {
  FARPROC found = ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name);
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(found));
}

UINT ScreenDpi() {
  HDC screen = ::GetDC(nullptr);
  int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

struct PictureResource {
  texts::Picture picture;
  int id;
  SIZE design;  // pixels at 96 dpi
};

constexpr PictureResource kPictures[] = {
    {texts::Picture::kCheckMark, ZC_ICON_CHECK_MARK, {44, 36}},
    {texts::Picture::kCross, ZC_ICON_CROSS, {37, 39}},
    {texts::Picture::kQuestionMark, ZC_ICON_QUESTION_MARK, {41, 45}},
};

// The raster "MS Sans Serif" of the design has a few sizes only; its
// TrueType successor looks the same and scales with the dpi.
std::wstring FaceName(const std::optional<texts::Font>& font) {
  if (!font) return L"MS Shell Dlg 2";
  std::wstring face = Wide(font->name);
  return face == L"MS Sans Serif" ? L"Microsoft Sans Serif" : face;
}

int CaptionHeight(HDC dc, const std::wstring& caption) {
  if (caption.empty()) return 0;
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  return metrics.tmHeight + 2;
}

void DrawPicture(HDC dc, const Icon& picture, int x, int y, bool disabled) {
  if (disabled) {
    ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(picture.handle.get()), 0, x, y,
                 picture.size.cx, picture.size.cy, DST_ICON | DSS_DISABLED);
  } else {
    ::DrawIconEx(dc, x, y, picture.handle.get(), picture.size.cx, picture.size.cy, 0, nullptr,
                 DI_NORMAL);
  }
}

}  // namespace

UINT DpiOf(HWND window) {
  static auto* for_window = User32Function<UINT WINAPI(HWND)>("GetDpiForWindow");
  UINT dpi = window != nullptr && for_window != nullptr ? for_window(window) : 0;
  return dpi != 0 ? dpi : ScreenDpi();
}

int Scale(int pixels_at_96_dpi, UINT dpi) {
  return ::MulDiv(pixels_at_96_dpi, static_cast<int>(dpi), 96);
}

RECT ToPixels(const texts::Twips& twips, UINT dpi) {
  auto pixels = [dpi](int value) { return ::MulDiv(value, static_cast<int>(dpi), 1440); };
  int left = pixels(twips.left), top = pixels(twips.top);
  return {left, top, left + pixels(twips.width), top + pixels(twips.height)};
}

SIZE OuterSize(SIZE client, DWORD style, DWORD ex_style, UINT dpi) {
  static auto* for_dpi =
      User32Function<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  RECT outer{0, 0, client.cx, client.cy};
  if (for_dpi != nullptr) {
    for_dpi(&outer, style, FALSE, ex_style, dpi);
  } else {
    ::AdjustWindowRectEx(&outer, style, FALSE, ex_style);
  }
  return {outer.right - outer.left, outer.bottom - outer.top};
}

Gdi<HFONT> MakeFont(const std::optional<texts::Font>& font, UINT dpi) {
  LOGFONTW logical{};
  double points = font ? font->points : 8;
  logical.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72));
  logical.lfWeight = font ? font->weight : FW_NORMAL;
  logical.lfCharSet = DEFAULT_CHARSET;
  std::wstring face = FaceName(font);
  std::wcsncpy(logical.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return Gdi<HFONT>(::CreateFontIndirectW(&logical));
}

Icon LoadPicture(texts::Picture picture, UINT dpi) {
  for (const PictureResource& resource : kPictures) {
    if (resource.picture != picture) continue;
    SIZE size{Scale(resource.design.cx, dpi), Scale(resource.design.cy, dpi)};
    auto icon =
        static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource.id),
                                        IMAGE_ICON, size.cx, size.cy, LR_DEFAULTCOLOR));
    Icon loaded;
    loaded.handle.reset(icon);
    if (icon != nullptr) loaded.size = size;
    return loaded;
  }
  return {};
}

void DrawPictureButton(const DRAWITEMSTRUCT& item, const texts::Control& control,
                       const Icon& picture, HFONT font, HBRUSH back) {
  HDC dc = item.hDC;
  RECT bounds = item.rcItem;
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  bool disabled = (item.itemState & ODS_DISABLED) != 0;
  ::DrawFrameControl(dc, &bounds, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  RECT face = bounds;
  ::InflateRect(&face, -2, -2);
  ::FillRect(dc, &face, back);
  int shift = pressed ? 1 : 0;  // a pressed button's content moves with it
  HGDIOBJ old_font = ::SelectObject(dc, font);
  std::wstring caption = Wide(control.Caption);
  int caption_height = CaptionHeight(dc, caption);
  if (picture.handle) {
    DrawPicture(dc, picture, (face.left + face.right - picture.size.cx) / 2 + shift,
                (face.top + face.bottom - caption_height - picture.size.cy) / 2 + shift, disabled);
  }
  if (!caption.empty()) {
    RECT text = {face.left + shift, face.bottom - caption_height + shift, face.right + shift,
                 face.bottom + shift};
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  ::SelectObject(dc, old_font);
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    ::InflateRect(&face, -2, -2);
    ::DrawFocusRect(dc, &face);
  }
}

}  // namespace zc::win32
