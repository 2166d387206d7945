#include "app/qt/qt_ui.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <cstdlib>

namespace zc::qt {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

TEST(QtUiTest, LineBreaksOfTheProgramShowAsLineBreaks) {
  struct Case {
    std::string text;
    QString shown;
  } cases[] = {
      {"Cancel edits?\n\rRemark:", "Cancel edits?\nRemark:"},
      {"One\r\nTwo\r\nThree", "One\nTwo\nThree"},
      {"a\n\n\rb", "a\n\nb"},
      {"a\rb\nc", "a\nb\nc"},
      {"Grüße", QString::fromUtf8("Grüße")},
  };
  for (const Case& c : cases) EXPECT_EQ(DisplayText(c.text), c.shown) << c.text;
}

TEST(QtUiTest, MessageBoxesCarryIconButtonsDefaultAndTitle) {
  struct Case {
    platform::MessageBox box;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton default_button;
    QString title;
  } cases[] = {
      {{"Cancel edits?\n\rRemark:", "Cancel?", Buttons::kYesNo, Icon::kExclamation, Answer::kNo},
       QMessageBox::Warning,
       QMessageBox::Yes | QMessageBox::No,
       QMessageBox::No,
       "Cancel?"},
      {{"x", "Unexpected error", Buttons::kYesNo, Icon::kCritical, Answer::kYes},
       QMessageBox::Critical,
       QMessageBox::Yes | QMessageBox::No,
       QMessageBox::Yes,
       "Unexpected error"},
      {{"<b>not bold</b>", "", Buttons::kOk, Icon::kInformation, Answer::kOk},
       QMessageBox::Information,
       QMessageBox::Ok,
       QMessageBox::Ok,
       "Zantel_Config"},
  };
  for (const Case& c : cases) {
    auto shown = BuildMessageBox(c.box, nullptr);
    EXPECT_EQ(shown->icon(), c.icon);
    EXPECT_EQ(shown->standardButtons(), c.buttons);
    ASSERT_NE(shown->defaultButton(), nullptr);
    EXPECT_EQ(shown->standardButton(shown->defaultButton()), c.default_button);
    EXPECT_EQ(shown->windowTitle(), c.title);
    EXPECT_EQ(shown->textFormat(), Qt::PlainText);
    EXPECT_EQ(shown->text(), DisplayText(c.box.text));
  }
}

TEST(QtUiTest, NumbersKeepTheirDecimalPointOnAGermanDesktop) {
  // Qt has taken the desktop's locale for everything else.
  if (std::string(std::setlocale(LC_MONETARY, nullptr)).rfind("de_DE", 0) != 0) {
    GTEST_SKIP() << "not started on a German desktop";
  }
  EXPECT_EQ(std::strtod("2.5", nullptr), 2.5);  // how a C library reads a number
}

TEST(QtUiTest, EscapeOrTheCloseBoxIsNoAnswer) {
  for (bool escape : {true, false}) {
    QTimer::singleShot(0, [escape] {
      QWidget* box = QApplication::activeModalWidget();
      ASSERT_NE(box, nullptr);
      escape ? QTest::keyClick(box, Qt::Key_Escape) : void(box->close());
    });
    QtUi ui;
    EXPECT_EQ(
        ui.Show({"Resume?", "Unexpected error", Buttons::kYesNo, Icon::kCritical, Answer::kYes}),
        Answer::kNone)
        << (escape ? "Esc" : "close box");
  }
}

}  // namespace
}  // namespace zc::qt
