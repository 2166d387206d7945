// Start-up of the configuration program: a silent start runs without any
// window or display; every other start opens the window.
#include <cstdio>
#include <cstring>

#include "app/console_ui.h"
#include "app/help_text.h"
#include "app/main_window.h"
#include "errors/command_text.h"
#include "platform/platform.h"
#include "presets/preparation.h"
#ifdef ZC_WITH_WINDOW
#include "app/qt/window_app.h"
#endif
#ifdef ZC_WITH_WIN32_WINDOW
#include "app/win32/window_app.h"
#endif

namespace {

int RunSilent(zc::platform::ProcessFacts facts, zc::DatabaseWork work) {
  zc::ConsoleUi ui;
  zc::Program run(std::move(facts), ui);
  zc::frm_Zantel_Config_Exe window(run, std::move(work));
  window.Form_Load();  // runs the work and ends the program
  return run.failures_reported ? zc::exit_status::kDoneWithFailures : zc::exit_status::kDone;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef ZC_WITH_WIN32_WINDOW
  zc::win32::UseParentConsole();
#endif
  zc::platform::ProcessFacts facts = zc::platform::CurrentProcess(argc, argv);
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("%s %d.%d.%d\n",
                zc::platform::FileNameWithoutExtension(facts.executable_path).c_str(),
                facts.version.major, facts.version.minor, facts.version.revision);
    return 0;
  }
  if (zc::AsksForHelp(argc, argv)) {
    std::fputs(zc::HelpText(facts).c_str(), stdout);
    return 0;
  }
  zc::DatabaseWork work = [](zc::Program& run) { zc::WorkOnMDB(run); };
  if (zc::CommandAsksSilent(facts.command_line)) return RunSilent(std::move(facts), work);
#ifdef ZC_WITH_WINDOW
  return zc::qt::RunWindow(std::move(facts), work);
#elif defined(ZC_WITH_WIN32_WINDOW)
  return zc::win32::RunWindow(std::move(facts), work);
#else
  std::fprintf(stderr, "This build has no window; start it with /EXTERNAL=SILENT.\n");
  return zc::exit_status::kEndedOnFailure;
#endif
}
