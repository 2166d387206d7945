#include "app/qt/window_app.h"

#include <QApplication>
#include <memory>
#include <string>

#include "app/console_ui.h"
#include "app/qt/main_window_view.h"
#include "app/qt/qt_ui.h"
#include "errors/error_sub.h"
#include "errors/procedure.h"
#include "errors/start_up.h"

namespace zc::qt {
namespace {

// The facts of the run whose window Qt is starting: a message handler has no
// other way to learn them.
const platform::ProcessFacts* starting = nullptr;
QtMessageHandler qt_handler = nullptr;

// Qt aborts the process when it finds no display to open a window on, with
// nothing in the logs the plant reads. Say so there instead, and end with 1.
[[noreturn]] void EndWithoutDisplay() {
  ConsoleUi console;  // nothing can be shown: the report goes to standard error
  Program run(*starting, console);
  GetStartModeIntegrated(run);  // an integrated start logs where LOGFILE says
  Procedure proc(run, "Form_Load", /*fatal=*/true);
  proc.Report(Failure(failures::kInternal,
                      "No display: the window cannot be opened. Start with /EXTERNAL=SILENT "
                      "to run without one."));
  EndProgram(run, exit_status::kEndedOnFailure);  // not reached: a fatal report ends
}

void WhileStarting(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  // Qt's own words first, they name the display it tried; the end is ours.
  qt_handler(type == QtFatalMsg ? QtCriticalMsg : type, context, message);
  if (type == QtFatalMsg) EndWithoutDisplay();
}

}  // namespace

int RunWindow(platform::ProcessFacts facts, DatabaseWork WorkOnMDB) {
  std::string program = facts.executable_path;
  char* qt_argv[] = {program.data(), nullptr};
  int qt_argc = 1;
  starting = &facts;
  qt_handler = qInstallMessageHandler(WhileStarting);
  std::unique_ptr<QApplication> application = StartApplication(qt_argc, qt_argv);
  qInstallMessageHandler(qt_handler);
  starting = nullptr;
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
