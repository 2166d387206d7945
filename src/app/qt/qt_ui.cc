#include "app/qt/qt_ui.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QStyleFactory>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "app/qt/main_window_view.h"

namespace zc::qt {
namespace {

QMessageBox::Icon IconOf(platform::Icon icon) {
  switch (icon) {
    case platform::Icon::kInformation:
      return QMessageBox::Information;
    case platform::Icon::kExclamation:
      return QMessageBox::Warning;
    case platform::Icon::kCritical:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton ButtonOf(platform::Answer answer) {
  switch (answer) {
    case platform::Answer::kOk:
      return QMessageBox::Ok;
    case platform::Answer::kYes:
      return QMessageBox::Yes;
    case platform::Answer::kNo:
      return QMessageBox::No;
    case platform::Answer::kNone:
      break;
  }
  return QMessageBox::NoButton;
}

platform::Answer AnswerOf(int button) {
  switch (button) {
    case QMessageBox::Ok:
      return platform::Answer::kOk;
    case QMessageBox::Yes:
      return platform::Answer::kYes;
    case QMessageBox::No:
      return platform::Answer::kNo;
  }
  return platform::Answer::kNone;
}

// Esc and the close box give no answer. Qt would take them for the box's
// rejecting button, for a Yes/No question No, and "No" at a failure ends the
// program; "no answer" resumes, as the question's own Yes does.
class NoAnswerOnEscapeBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->matches(QKeySequence::Cancel)) {
      reject();  // exec() then gives 0: no button
      return;
    }
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override { QDialog::closeEvent(event); }
};

}  // namespace

std::unique_ptr<QApplication> StartApplication(int& argc, char** argv) {
  auto application = std::make_unique<QApplication>(argc, argv);
  // Qt takes the desktop's locale for the C library too; numbers in queries
  // and fields keep their "." all the same.
  std::setlocale(LC_NUMERIC, "C");
  // Fusion paints buttons in their palette colour, which the help mode needs.
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  return application;
}

QString DisplayText(const std::string& text) {
  QString shown;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\n' && c != '\r') {
      size_t end = text.find_first_of("\n\r", i);
      if (end == std::string::npos) end = text.size();
      shown += QString::fromUtf8(text.data() + i, static_cast<qsizetype>(end - i));
      i = end - 1;
      continue;
    }
    char partner = c == '\n' ? '\r' : '\n';
    if (i + 1 < text.size() && text[i + 1] == partner) ++i;
    shown += QChar('\n');
  }
  return shown;
}

std::unique_ptr<QMessageBox> BuildMessageBox(const platform::MessageBox& box, QWidget* parent) {
  auto shown = std::make_unique<NoAnswerOnEscapeBox>(parent);
  QString title = QString::fromStdString(box.title);
  shown->setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
  shown->setTextFormat(Qt::PlainText);  // the program's texts are never markup
  shown->setText(DisplayText(box.text));
  shown->setIcon(IconOf(box.icon));
  if (box.buttons == platform::Buttons::kYesNo) {
    shown->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  } else {
    shown->setStandardButtons(QMessageBox::Ok);
  }
  shown->setDefaultButton(ButtonOf(box.default_button));
  return shown;
}

platform::Answer QtUi::Show(const platform::MessageBox& box) {
  // A question wants the ordinary pointer, even in the middle of the work.
  if (busy_) QApplication::restoreOverrideCursor();
  std::unique_ptr<QMessageBox> shown = BuildMessageBox(box, window_);
  int button = shown->exec();
  if (busy_) QApplication::setOverrideCursor(Qt::WaitCursor);
  return AnswerOf(button);
}

void QtUi::DoEvents() { QCoreApplication::processEvents(); }

void QtUi::SetBusyPointer(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtUi::Progress(std::int64_t done, std::int64_t total) {
  if (window_ == nullptr) return;
  if (window_->ShowProgress(done, total)) QCoreApplication::processEvents();
}

void QtUi::EndProgram(int exit_code) {
  std::fflush(nullptr);
  std::_Exit(exit_code);
}

}  // namespace zc::qt
