// The real program's Win32 window: each case starts Zantel_Config.exe in a
// project of its own, works the window from outside as a user would (clicks,
// the close box, answers, Esc) and checks what the run left on disk and in
// the logs. Needs a display: under wine, an X server such as Xvfb.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "app/main_window.h"
#include "app/win32/resource_ids.h"
#include "platform/win32_text.h"
#include "program/project_files.h"
#include "support/db_builder.h"
#include "support/temp_project.h"
#include "texts/controls.h"

namespace zc::testing {

// The built program and its language file, placed as a plant engineer would.
std::string InstallProgram(const std::string& project) {
  std::filesystem::path built(ZC_PROGRAM), folder = PathOf(project + "\\Bin");
  std::filesystem::create_directories(folder);
  for (const char* file : {"Zantel_Config.exe", "Zantel_Config.ini"}) {
    std::filesystem::copy_file(built.parent_path() / file, folder / file,
                               std::filesystem::copy_options::overwrite_existing);
  }
  return Utf8Of(folder / "Zantel_Config.exe");
}

namespace {

using platform::win32::Utf8;
using platform::win32::Wide;

enum class Reply { kYes = IDYES, kNo = IDNO, kOk = IDOK, kEsc, kCloseBox };

struct Step {
  const char* control;   // clicked; nullptr: the window's close box
  const wchar_t* title;  // of the message box this brings up; nullptr: none
  int default_id = 0;    // its default button, 0: not looked at
  Reply reply = Reply::kOk;
  const wchar_t* text_part = L"";  // its text holds this
};

struct Case {
  const char* name;
  bool integrated;
  int exit_status;
  bool work_ran;       // and stamped the configuration file
  const char* logged;  // the error log holds this; "": it stays empty
  std::vector<Step> steps;
  std::function<void(const std::string& project)> prepare = nullptr;
  bool access = false;  // the project's databases are Access files, and stay so
};

// Waits until `found` gives something; gives up after 30 seconds.
template <typename Find>
auto WaitFor(Find found) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  for (;;) {
    if (auto result = found(); result || std::chrono::steady_clock::now() > until) return result;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// A visible top-level window of the process, of that class.
HWND WindowOf(DWORD process, const wchar_t* window_class) {
  for (HWND window = nullptr;
       (window = ::FindWindowExW(nullptr, window, window_class, nullptr)) != nullptr;) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == process && ::IsWindowVisible(window)) return window;
  }
  return nullptr;
}

std::wstring TextOf(HWND window) {
  wchar_t text[2048] = L"";
  ::SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                        nullptr);
  return text;
}

// The message text of a box: its longest static text.
std::wstring BoxText(HWND box) {
  std::wstring longest;
  for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (std::wstring text = TextOf(child); text.size() > longest.size()) longest = text;
  }
  return longest;
}

void Answer(HWND box, Reply reply) {
  if (reply == Reply::kEsc) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(box, nullptr), &thread);
    ::PostMessageW(thread.hwndFocus ? thread.hwndFocus : box, WM_KEYDOWN, VK_ESCAPE, 1);
  } else if (reply == Reply::kCloseBox) {
    ::PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else {
    ::PostMessageW(::GetDlgItem(box, static_cast<int>(reply)), BM_CLICK, 0, 0);
  }
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(box); })) << "the box stays";
}

int ControlId(const char* name) {
  std::vector<texts::Control> controls = texts::DesignedControls();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].Name == name) return win32::kFirstControlId + static_cast<int>(i);
  }
  return 0;
}

void Perform(const Step& step, HWND window, DWORD process) {
  if (step.control == nullptr) {
    ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else {
    ::PostMessageW(::GetDlgItem(window, ControlId(step.control)), BM_CLICK, 0, 0);
  }
  if (step.title == nullptr) return;
  HWND box = WaitFor([&] { return WindowOf(process, L"#32770"); });
  ASSERT_TRUE(box) << "no box " << Utf8(step.title);
  EXPECT_EQ(TextOf(box), step.title);
  EXPECT_NE(BoxText(box).find(step.text_part), std::wstring::npos) << Utf8(BoxText(box));
  if (step.default_id != 0) {
    LONG style = ::GetWindowLongW(::GetDlgItem(box, step.default_id), GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  }
  Answer(box, step.reply);
}

// The real program in its own process, ended with the test at the latest.
struct Started {
  explicit Started(std::wstring line) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    EXPECT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process));
  }
  ~Started() {
    ::TerminateProcess(process.hProcess, 999);  // nothing to end when it has ended
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
  DWORD ExitStatus() {
    DWORD status = 999;
    if (::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
      ::GetExitCodeProcess(process.hProcess, &status);
    }
    return status;
  }
  PROCESS_INFORMATION process{};
};

class Win32WindowTest : public ::testing::TestWithParam<Case> {};

TEST_P(Win32WindowTest, RunsAsTheUserDrivesIt) {
  const Case& c = GetParam();
  TempDir dir;
  const std::string project = dir.path(), database = project + "\\Zantel\\Zantel.mdb";
  std::string log = project + "\\R7Qcfglog.txt";
  WriteHealthyProject(project, 2, 3, 4, c.access);
  if (c.prepare) c.prepare(project);
  const std::string component = ReadFile(database);
  std::wstring line = L"\"" + Wide(project) + L"\\Bin\\Zantel_Config.exe\"";
  if (c.integrated) line += L" /EXTERNAL=R7QCFG /LOGFILE=" + Wide(log = project + "\\cfg.log");
  ::SetEnvironmentVariableW(L"TOLVA_SERVICEPACK_LOG", Wide(project + "\\sp.log").c_str());
  Started program(line);
  HWND window = WaitFor([&] { return WindowOf(program.process.dwProcessId, win32::kWindowClass); });
  ASSERT_TRUE(window);
  EXPECT_EQ(TextOf(window), c.integrated ? L"Erweiterte Konfiguration Bin - integriert"
                                         : L"Erweiterte Konfiguration Bin - standalone");
  RECT client{};
  ::GetClientRect(window, &client);
  const UINT dpi = ::GetDpiForWindow(window);
  EXPECT_EQ(client.right, ::MulDiv(kClientWidthTwips, dpi, 1440));
  EXPECT_EQ(client.bottom, ::MulDiv(kClientHeightTwips, dpi, 1440));
  for (const Step& step : c.steps) Perform(step, window, program.process.dwProcessId);
  EXPECT_EQ(program.ExitStatus(), static_cast<DWORD>(c.exit_status));
  if (c.work_ran) {
    EXPECT_EQ((c.access ? ReadAccessTable : ReadTable)(database, "PRESET_DEFS").size(), 6u);
    EXPECT_EQ(IntegrityCheck(database), "ok");
    EXPECT_EQ(IntegrityCheck(project + "\\Zantel\\Zantel_Source.mdb"), "ok");
    // The build script reads these back with libmdb, which Windows lacks.
    if (const char* keep = std::getenv("ZC_ACCESS_RESULTS"); keep != nullptr && c.access) {
      std::filesystem::copy_file(PathOf(database),
                                 PathOf(std::string(keep) + "\\" + c.name + ".mdb"));
    }
  } else {
    EXPECT_EQ(ReadFile(database), component);
  }
  std::string cfg = ReadFile(project + "\\Zantel\\Zantel.cfg");
  std::string stamp = std::string("S_Prog=") + ZC_VERSION +
                      (c.integrated ? " - Integrated" : " - Standalone") + "\r\n";
  EXPECT_EQ(cfg.find(stamp) != std::string::npos, c.work_ran) << cfg;
  std::string logged = ReadFile(log);
  EXPECT_TRUE(*c.logged ? logged.find(c.logged) != std::string::npos : logged.empty()) << logged;
}

const wchar_t kCancelText[] = L"Cancel edits?\r\nRemark:\r\nUntil now no changes";
const wchar_t kNoCopyText[] =
    L"Konnte die Datei:\"Zantel.mdb\" in der Vorlage nicht finden!\r\n\r\nIst das Bild in der "
    L"Vorlage noch nicht vorhanden (also neu)?\r\nDann ist diese Meldung v\u00f6llig normal";

// Esc and the close box leave the cancel question unanswered: not given up.
// Help texts are the shipped ones; the build script reads the Access results.
// clang-format off
INSTANTIATE_TEST_SUITE_P(RealProgram, Win32WindowTest, ::testing::Values(
    Case{"CancelNoThenYes", false, 3, false, "Konfigurations-EXE wurde abgebrochen:     Zantel",
         {{"CommandCancel", L"Cancel?", IDNO, Reply::kNo, kCancelText},
          {"CommandCancel", L"Cancel?", IDNO, Reply::kYes}}},
    Case{"CloseBox", false, 3, false, "wurde abgebrochen",
         {{nullptr, L"Cancel?", IDNO, Reply::kEsc, kCancelText},
          {nullptr, L"Cancel?", IDNO, Reply::kCloseBox},
          {nullptr, L"Cancel?", IDNO, Reply::kYes}}},
    Case{"HelpMode", false, 0, true, "",
         {{"CommandQuest", nullptr},
          {"CommandOK", L"Info:", IDOK, Reply::kOk, L"Programm; Bericht: Zantel\\Zantel_Report.txt"},
          {"CommandCancel", L"Info:", IDOK, Reply::kOk, L"nach einer R\u00fcckfrage"},
          {"CommandQuest", nullptr},
          {"CommandOK", nullptr}}},
    Case{"IntegratedWithoutMachineCopy", true, 0, true, "",
         {{"CommandOK", L"Zantel_Config", IDOK, Reply::kOk, kNoCopyText}},
         [](const std::string& project) {
           std::filesystem::remove(PathOf(project + "\\copy\\Zantel\\Zantel.mdb"));
         }},
    Case{"StandaloneOnAccessFiles", false, 0, true, "", {{"CommandOK", nullptr}}, nullptr, true},
    Case{"IntegratedOnAccessFiles", true, 0, true, "", {{"CommandOK", nullptr}}, nullptr, true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
}  // namespace zc::testing
