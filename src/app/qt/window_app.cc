#include "app/qt/window_app.h"

#include <QApplication>
#include <QStyleFactory>
#include <clocale>
#include <string>

#include "app/qt/main_window_view.h"
#include "app/qt/qt_ui.h"
#include "errors/error_sub.h"

namespace zc::qt {

int RunWindow(platform::ProcessFacts facts, DatabaseWork WorkOnMDB) {
  std::string program = facts.executable_path;
  char* qt_argv[] = {program.data(), nullptr};
  int qt_argc = 1;
  QApplication application(qt_argc, qt_argv);
  // Qt takes the desktop's locale for the C library too; numbers in queries
  // and fields keep their "." all the same.
  std::setlocale(LC_NUMERIC, "C");
  // Fusion paints buttons in their palette colour, which the help mode needs.
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QtUi ui;
  Program run(std::move(facts), ui);
  QApplication::setApplicationName(QString::fromStdString(run.ExecutableName()));
  frm_Zantel_Config_Exe window(run, std::move(WorkOnMDB));
  MainWindowView view(window);
  ui.SetWindow(&view);
  window.Form_Load();
  view.show();
  QApplication::exec();
  // A confirmed close ends the program from inside; should Qt quit for any
  // other reason, the run is given up all the same, its counts logged.
  EndProgram(run, exit_status::kCancelled);
}

}  // namespace zc::qt
