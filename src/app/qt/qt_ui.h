// The user interface of a run with a window: real message boxes over the
// window, the wait cursor, pending events and the progress of the work.
#pragma once

#include <QString>
#include <memory>

#include "platform/ui.h"

class QApplication;
class QMessageBox;
class QWidget;

namespace zc::qt {

class MainWindowView;

// Starts Qt as the window needs it. `argc` must outlive the application.
std::unique_ptr<QApplication> StartApplication(int& argc, char** argv);

// The program's line breaks (LF CR, CR LF, or either alone) as Qt's newline.
QString DisplayText(const std::string& text);

// The box as it will be shown; an empty title becomes the application name.
std::unique_ptr<QMessageBox> BuildMessageBox(const platform::MessageBox& box, QWidget* parent);

class QtUi : public platform::Ui {
 public:
  // The window the boxes belong to and the progress is shown in; may be null.
  void SetWindow(MainWindowView* window) { window_ = window; }

  platform::Answer Show(const platform::MessageBox& box) override;
  void DoEvents() override;
  void SetBusyPointer(bool busy) override;
  void Progress(std::int64_t done, std::int64_t total) override;
  [[noreturn]] void EndProgram(int exit_code) override;

 private:
  MainWindowView* window_ = nullptr;
  bool busy_ = false;
};

}  // namespace zc::qt
