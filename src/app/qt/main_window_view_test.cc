#include "app/qt/main_window_view.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/qt/pictures.h"
#include "support/temp_project.h"

namespace zc::qt {
namespace {

using platform::Answer;
using testing::WriteFile;

// Scripted answers, but the end of the program is a real one: tests that
// reach it run as death tests and read the exit status.
struct ExitingUi : platform::ScriptedUi {
  [[noreturn]] void EndProgram(int exit_code) override {
    std::fflush(nullptr);
    std::_Exit(exit_code);
  }
};

// The view over a window of a program at <temp>/Bin/Zantel_Config.
struct Subject {
  Subject()
      : run(testing::FactsFor(dir.path() + "/Bin/Zantel_Config", "", dir.path() + "/sp.log"), ui),
        window(run, [this](Program&) { Work(); }),
        view(window) {
    std::filesystem::create_directories(dir.path() + "/Bin");
    WriteFile(dir.path() + "/Zantel/Zantel.cfg", "[Project]\r\n");
    view.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
  }
  void Load(const std::string& language_file = "") {
    if (!language_file.empty()) WriteFile(dir.path() + "/Bin/Zantel_Config.ini", language_file);
    window.Form_Load();
  }
  void Click(const char* name) { QTest::mouseClick(view.Button(name), Qt::LeftButton); }
  QColor ButtonColour(const char* name) {
    return view.Button(name)->palette().color(QPalette::Button);
  }
  void Work() {
    ++work_runs;
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
  int work_runs = 0;
};

const QColor kGrey(0xC0, 0xC0, 0xC0);
const QColor kGreen(0x00, 0xFF, 0x00);

TEST(MainWindowViewTest, LooksAsDesigned) {
  Subject s;
  EXPECT_EQ(s.view.size(), QSize(792, 573));
  EXPECT_EQ(s.view.palette().color(QPalette::Window), kGrey);
  struct Case {
    const char* name;
    QRect pixels;
  } cases[] = {
      {"MainFrame", {0, 26, 792, 484}},     {"Header", {2, 2, 785, 24}},
      {"CommandOK", {560, 514, 113, 57}},   {"CommandCancel", {678, 514, 113, 57}},
      {"CommandQuest", {490, 514, 65, 57}},
  };
  for (const Case& c : cases) {
    ASSERT_NE(s.view.ControlWidget(c.name), nullptr) << c.name;
    EXPECT_EQ(s.view.ControlWidget(c.name)->geometry(), c.pixels) << c.name;
  }
  QFont header = s.view.ControlWidget("Header")->font();
  EXPECT_TRUE(header.bold());
  EXPECT_DOUBLE_EQ(header.pointSizeF(), 13.5);
  EXPECT_EQ(s.view.Button("CommandOK")->iconSize(), QSize(44, 36));
  EXPECT_EQ(s.view.Button("CommandCancel")->iconSize(), QSize(37, 39));
  EXPECT_EQ(s.view.Button("CommandQuest")->iconSize(), QSize(41, 45));
  EXPECT_EQ(s.view.Button("CommandOK")->nextInFocusChain(), s.view.Button("CommandCancel"));
  EXPECT_EQ(s.view.Button("CommandCancel")->nextInFocusChain(), s.view.Button("CommandQuest"));
}

TEST(MainWindowViewTest, PicturesAreDrawnOnATransparentBackground) {
  struct Case {
    QPixmap picture;
    QColor ink;  // the colour most of the drawing is in
  } cases[] = {
      {CheckMarkPicture(), QColor(0, 192, 0)},
      {CrossPicture(), QColor(208, 0, 0)},
      {QuestionMarkPicture(), QColor(0, 0, 0)},
  };
  for (const Case& c : cases) {
    QImage image = c.picture.toImage();
    int transparent = 0, ink = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        QColor pixel = image.pixelColor(x, y);
        if (pixel.alpha() == 0) ++transparent;
        if (pixel.alpha() == 255 && pixel.rgb() == c.ink.rgb()) ++ink;
      }
    }
    int all = image.width() * image.height();
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1).alpha(), 0);
    EXPECT_GT(transparent, all / 2) << c.ink.name().toStdString();
    EXPECT_GT(ink, all / 20) << c.ink.name().toStdString();
  }
}

TEST(MainWindowViewTest, ShowsTheCaptionAndToolTipsOfTheLoadedWindow) {
  Subject s;
  QTest::mouseClick(s.view.Button("CommandOK"), Qt::LeftButton);  // not yet enabled
  EXPECT_EQ(s.work_runs, 0);
  EXPECT_FALSE(s.view.Button("CommandCancel")->isEnabled());
  s.Load(
      "[Language]\r\nLanguage=1033\r\n[1033]\r\nTTT_CommandOK_=Start\r\n"
      "TTT_CommandQuest_=Help mode\r\nCaption_Header_=Zantel - status control\r\n");
  EXPECT_EQ(s.view.windowTitle(), "Erweiterte Konfiguration Bin - standalone");
  EXPECT_EQ(s.view.Button("CommandOK")->toolTip(), "Start");
  EXPECT_EQ(s.view.Button("CommandQuest")->toolTip(), "Help mode");
  EXPECT_EQ(s.view.Button("CommandCancel")->toolTip(), "");
  EXPECT_EQ(qobject_cast<QLabel*>(s.view.ControlWidget("Header"))->text(),
            "Zantel - status control");
  EXPECT_TRUE(s.view.Button("CommandOK")->isEnabled());
  EXPECT_TRUE(s.view.Button("CommandCancel")->isEnabled());
}

TEST(MainWindowViewTest, TheQuestionButtonSwitchesHelpMode) {
  Subject s;
  s.Load();
  EXPECT_EQ(s.ButtonColour("CommandQuest"), kGrey);
  s.Click("CommandQuest");
  EXPECT_EQ(s.ButtonColour("CommandQuest"), kGreen);
  s.ui.Script({Answer::kOk});
  s.Click("CommandOK");
  ASSERT_EQ(s.ui.shown.size(), 1u);
  EXPECT_EQ(s.ui.shown[0].title, "Info:");
  EXPECT_EQ(s.work_runs, 0);
  EXPECT_TRUE(s.view.Button("CommandOK")->isEnabled());
  s.Click("CommandQuest");
  EXPECT_EQ(s.ButtonColour("CommandQuest"), kGrey);
}

TEST(MainWindowViewTest, CancelAndTheCloseBoxAnsweredNoKeepTheWindow) {
  Subject s;
  s.Load();
  s.ui.Script({Answer::kNo, Answer::kNo});
  s.Click("CommandCancel");
  EXPECT_FALSE(s.view.close());
  EXPECT_EQ(s.ui.shown.size(), 2u);
  EXPECT_TRUE(s.view.isVisible());
  EXPECT_TRUE(s.view.Button("CommandOK")->isEnabled());
  EXPECT_TRUE(s.view.Button("CommandCancel")->isEnabled());
  EXPECT_EQ(s.work_runs, 0);
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

TEST(MainWindowViewDeathTest, OkRunsTheWorkWithTheButtonsDisabledAndEnds) {
  EXPECT_EXIT(
      {
        Subject s;
        s.Load();
        s.Click("CommandOK");
      },
      ::testing::ExitedWithCode(exit_status::kDone), "work: OK off, Cancel off, wait cursor");
}

TEST(MainWindowViewDeathTest, ConfirmedCancelOrCloseEndsWithoutTheWork) {
  for (bool close_box : {false, true}) {
    EXPECT_EXIT(
        {
          Subject s;
          s.Load();
          s.ui.Script({Answer::kYes});
          close_box ? void(s.view.close()) : s.Click("CommandCancel");
        },
        ::testing::ExitedWithCode(exit_status::kCancelled), "");
  }
}

}  // namespace
}  // namespace zc::qt
