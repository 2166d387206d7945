// Saves a picture of the window as a standalone start opens it, for the
// documentation. The program is placed in a scratch project that is removed
// afterwards. Usage: window_screenshot OUTPUT.png
#include <QApplication>
#include <QPixmap>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/qt/main_window_view.h"
#include "app/qt/qt_ui.h"
#include "platform/version.h"

namespace {

zc::platform::ProcessFacts ProgramIn(const std::string& project) {
  zc::platform::ProcessFacts facts;
  facts.executable_path = project + "/Zantel_Config/Zantel_Config";
  facts.version = {zc::platform::kVersionMajor, zc::platform::kVersionMinor,
                   zc::platform::kVersionRevision};
  facts.service_pack_log_path = project + "/TolvaServicePack.log";
  return facts;
}

int SaveWindowPicture(const std::string& project, const char* output) {
  std::filesystem::create_directories(project + "/Zantel_Config");
  zc::qt::QtUi ui;
  zc::Program run(ProgramIn(project), ui);
  zc::frm_Zantel_Config_Exe window(run, [](zc::Program&) {});
  zc::qt::MainWindowView view(window);
  ui.SetWindow(&view);
  window.Form_Load();
  view.show();
  QApplication::processEvents();
  if (!view.grab().save(output)) {
    std::fprintf(stderr, "cannot save %s\n", output);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  int qt_argc = 1;
  QApplication application(qt_argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  std::string project = (std::filesystem::temp_directory_path() / "zantel-screenshot-XXXXXX");
  if (::mkdtemp(project.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  int status = SaveWindowPicture(project, argv[1]);
  std::filesystem::remove_all(project);
  return status;
}
