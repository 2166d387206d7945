// The Qt window: the view of the window model, and the message boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "app/qt/main_window_view.h"
#include "app/qt/qt_ui.h"
#include "support/temp_project.h"

namespace zc::qt {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

// Scripted answers, but the end of the program is a real one: tests that
// reach it run as death tests and read the exit status.
struct ExitingUi : platform::ScriptedUi {
  [[noreturn]] void EndProgram(int exit_code) override {
    std::fflush(nullptr);
    std::_Exit(exit_code);
  }
};

// The view over the loaded window of a program at <temp>/Bin/Zantel_Config;
// what each click and answer does is the window's own test.
struct Subject {
  explicit Subject(const std::string& language_file = "")
      : run(testing::FactsFor(dir.path() + "/Bin/Zantel_Config", "", dir.path() + "/sp.log"), ui),
        window(run, [this](Program&) { Work(); }),
        view(window) {
    testing::WriteFile(dir.path() + "/Zantel/Zantel.cfg", "[Project]\r\n");
    testing::WriteFile(dir.path() + "/Bin/Zantel_Config.ini", language_file);
    view.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    window.Form_Load();
  }
  void Click(const char* name) { QTest::mouseClick(view.Button(name), Qt::LeftButton); }
  QColor Colour(const char* name) { return view.Button(name)->palette().color(QPalette::Button); }
  void Work() {
    std::fprintf(stderr, "work: OK %s, Cancel %s, %s cursor\n",
                 view.Button("CommandOK")->isEnabled() ? "on" : "off",
                 view.Button("CommandCancel")->isEnabled() ? "on" : "off",
                 view.cursor().shape() == Qt::WaitCursor ? "wait" : "other");
  }

  testing::TempDir dir;
  ExitingUi ui;
  Program run;
  frm_Zantel_Config_Exe window;
  MainWindowView view;
};

TEST(MainWindowViewTest, ShowsTheWindowAsDesignedWithItsTextsAndPassesClicksOn) {
  Subject s(
      "[Language]\r\nLanguage=1033\r\n[1033]\r\nTTT_CommandOK_=Start\r\n"
      "TTT_CommandQuest_=Help mode\r\nCaption_Header_=Zantel - status control\r\n");
  EXPECT_EQ(s.view.size(), QSize(792, 573));
  EXPECT_EQ(s.view.ControlWidget("CommandOK")->geometry(), QRect(560, 514, 113, 57));
  QFont header = s.view.ControlWidget("Header")->font();
  EXPECT_TRUE(header.bold());
  EXPECT_DOUBLE_EQ(header.pointSizeF(), 13.5);
  EXPECT_EQ(s.view.Button("CommandOK")->iconSize(), QSize(44, 36));
  EXPECT_EQ(s.view.Button("CommandOK")->nextInFocusChain(), s.view.Button("CommandCancel"));
  EXPECT_EQ(s.view.Button("CommandCancel")->nextInFocusChain(), s.view.Button("CommandQuest"));
  EXPECT_EQ(s.view.windowTitle(), "Erweiterte Konfiguration Bin - standalone");
  EXPECT_EQ(s.view.Button("CommandOK")->toolTip(), "Start");
  EXPECT_EQ(s.view.Button("CommandQuest")->toolTip(), "Help mode");
  EXPECT_EQ(s.view.Button("CommandCancel")->toolTip(), "");
  EXPECT_EQ(qobject_cast<QLabel*>(s.view.ControlWidget("Header"))->text(),
            "Zantel - status control");
  EXPECT_TRUE(s.view.Button("CommandOK")->isEnabled() &&
              s.view.Button("CommandCancel")->isEnabled());
  s.Click("CommandQuest");
  EXPECT_EQ(s.Colour("CommandQuest"), QColor(0x00, 0xFF, 0x00));
  s.ui.Script({Answer::kOk, Answer::kNo});
  s.Click("CommandOK");
  EXPECT_FALSE(s.view.close());  // answered No: the window stays
  ASSERT_EQ(s.ui.shown.size(), 2u);
  EXPECT_EQ(s.ui.shown[0].title, "Info:");
  EXPECT_EQ(s.ui.shown[1].title, "Cancel?");
  EXPECT_TRUE(s.view.isVisible());
  s.Click("CommandQuest");
  EXPECT_EQ(s.Colour("CommandQuest"), QColor(0xC0, 0xC0, 0xC0));
}

TEST(MainWindowViewTest, ProgressShowsInsideTheFrameWhileTheWorkRuns) {
  Subject s;
  QProgressBar* bar = s.view.ProgressBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->parentWidget(), s.view.ControlWidget("MainFrame"));
  EXPECT_TRUE(bar->isHidden());
  EXPECT_TRUE(s.view.ShowProgress(5, 10));
  EXPECT_FALSE(s.view.ShowProgress(5, 10));  // nothing moved, nothing to redraw
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->value() * 2, bar->maximum());
  s.view.MousePointerChanged(false);
  EXPECT_TRUE(bar->isHidden());
}

// OK runs the work with the buttons disabled under the wait cursor, and the
// program ends; a confirmed Cancel or close ends it without the work.
TEST(MainWindowViewDeathTest, TheProgramEndsAsTheButtonsSay) {
  EXPECT_EXIT(Subject().Click("CommandOK"), ::testing::ExitedWithCode(exit_status::kDone),
              "work: OK off, Cancel off, wait cursor");
  for (bool close_box : {false, true}) {
    EXPECT_EXIT(
        {
          Subject s;
          s.ui.Script({Answer::kYes});
          close_box ? void(s.view.close()) : s.Click("CommandCancel");
        },
        ::testing::ExitedWithCode(exit_status::kCancelled), "");
  }
}

// Each box is looked at while it is up, then left with Esc or its close box,
// which give no answer.
TEST(QtUiTest, MessageBoxesShowThePlainTextAndLeftWithoutAnAnswerGiveNone) {
  struct Case {
    platform::MessageBox box;
    QString text;  // the program's line breaks as line breaks
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton default_button;
    QString title;
    bool escape;  // else the close box
  } cases[] = {
      {{"Cancel edits?\n\rRemark:\r\nGrüße", "Cancel?", Buttons::kYesNo, Icon::kExclamation,
        Answer::kNo},
       "Cancel edits?\nRemark:\nGrüße",
       QMessageBox::Warning,
       QMessageBox::Yes | QMessageBox::No,
       QMessageBox::No,
       "Cancel?",
       true},
      {{"a\n\n\rb\rc\nd", "Unexpected error", Buttons::kYesNo, Icon::kCritical, Answer::kYes},
       "a\n\nb\nc\nd",
       QMessageBox::Critical,
       QMessageBox::Yes | QMessageBox::No,
       QMessageBox::Yes,
       "Unexpected error",
       false},
      {{"<b>not bold</b>", "", Buttons::kOk, Icon::kInformation, Answer::kOk},
       "<b>not bold</b>",
       QMessageBox::Information,
       QMessageBox::Ok,
       QMessageBox::Ok,
       "Zantel_Config",
       true}};
  for (const Case& c : cases) {
    QTimer::singleShot(0, [&c] {
      auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(shown, nullptr);  // without a box, Show has already returned
      EXPECT_EQ(shown->text(), c.text);
      EXPECT_EQ(shown->textFormat(), Qt::PlainText);
      EXPECT_EQ(shown->icon(), c.icon);
      EXPECT_EQ(shown->standardButtons(), c.buttons);
      EXPECT_EQ(shown->standardButton(shown->defaultButton()), c.default_button);
      EXPECT_EQ(shown->windowTitle(), c.title);
      c.escape ? QTest::keyClick(shown, Qt::Key_Escape) : void(shown->close());
    });
    QtUi ui;
    EXPECT_EQ(ui.Show(c.box), Answer::kNone) << c.title.toStdString();
  }
}

TEST(QtUiTest, NumbersKeepTheirDecimalPointOnAGermanDesktop) {
  // Qt has taken the desktop's locale for everything else.
  if (std::string(std::setlocale(LC_MONETARY, nullptr)).rfind("de_DE", 0) != 0) {
    GTEST_SKIP() << "not started on a German desktop";
  }
  EXPECT_EQ(std::strtod("2.5", nullptr), 2.5);  // how a C library reads a number
}

}  // namespace
}  // namespace zc::qt
