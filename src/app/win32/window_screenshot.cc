// Saves a picture of the Win32 window as a standalone start opens it, for the
// documentation. The program is placed in a scratch project that is removed
// afterwards. Usage (under wine or on Windows): window_screenshot OUTPUT.png
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/win32/main_window_view.h"
#include "app/win32/win32_ui.h"

// clang-format off
#include <objidl.h>  // left out by WIN32_LEAN_AND_MEAN, needed by GDI+
#include <gdiplus.h>
// clang-format on

namespace {

// The PNG encoder of GDI+.
constexpr CLSID kPngEncoder = {
    0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

// The client area as the screen shows it (wine's own frame is no Windows
// frame, so it is left out).
bool SaveClientArea(HWND window, const std::wstring& output) {
  RECT client{};
  ::GetClientRect(window, &client);
  HDC source = ::GetDC(window);
  HDC copy = ::CreateCompatibleDC(source);
  HBITMAP bitmap = ::CreateCompatibleBitmap(source, client.right, client.bottom);
  HGDIOBJ old = ::SelectObject(copy, bitmap);
  ::BitBlt(copy, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
  ::SelectObject(copy, old);
  ::DeleteDC(copy);
  ::ReleaseDC(window, source);
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  bool saved = false;
  {
    Gdiplus::Bitmap image(bitmap, nullptr);
    saved = image.Save(output.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
  }
  Gdiplus::GdiplusShutdown(token);
  ::DeleteObject(bitmap);
  return saved;
}

// Lets the window draw itself completely.
void Settle() {
  for (int round = 0; round < 20; ++round) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    ::Sleep(25);
  }
}

int SaveWindowPicture(const std::filesystem::path& project, const std::wstring& output) {
  std::filesystem::create_directories(project / "Zantel_Config");
  zc::platform::ProcessFacts facts;
  facts.executable_path =
      zc::platform::win32::Utf8((project / "Zantel_Config" / "Zantel_Config.exe").wstring());
  facts.service_pack_log_path =
      zc::platform::win32::Utf8((project / "TolvaServicePack.log").wstring());
  zc::win32::Win32Ui ui("Zantel_Config");
  zc::Program run(std::move(facts), ui);
  zc::frm_Zantel_Config_Exe window(run, [](zc::Program&) {});
  zc::win32::MainWindowView view(window);
  ui.SetWindow(&view);
  window.Form_Load();
  view.Show();
  Settle();
  if (!SaveClientArea(view.handle(), output)) {
    std::fwprintf(stderr, L"cannot save %ls\n", output.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_screenshot OUTPUT.png\n");
    return 2;
  }
  std::filesystem::path project = std::filesystem::temp_directory_path() /
                                  ("zantel-screenshot-" + std::to_string(::GetCurrentProcessId()));
  int status = SaveWindowPicture(project, argv[1]);
  std::error_code ignored;
  std::filesystem::remove_all(project, ignored);
  return status;
}
