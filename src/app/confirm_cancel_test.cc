#include "app/confirm_cancel.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "errors/failure.h"
#include "support/temp_project.h"

namespace zc {
namespace {

using platform::Answer;
using testing::Harness;
using testing::ReadFile;

// Programs are files of their own name on POSIX, "<name>.exe" on Windows.
const bool kOnWindows = platform::Separator() == '\\';
const std::string kThreeLines =
    "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ";
const std::string kCancelLine = "Konfigurations-EXE wurde abgebrochen:     Zantel\r\n";

TEST(ConfirmCancelTest, StandaloneAsksAndLogsOnlyAYes) {
  struct Case {
    Answer answer;
    bool cancelled;
  } cases[] = {
      {Answer::kYes, true},
      {Answer::kNo, false},
      {Answer::kNone, false},  // Enter takes the default, No
  };
  for (const Case& c : cases) {
    Harness<zc::ProjectRun> h;
    h.ui.Script({c.answer});
    EXPECT_EQ(ConfirmCancel(h.run), c.cancelled);
    ASSERT_EQ(h.ui.shown.size(), 1u);
    const platform::MessageBox& box = h.ui.shown[0];
    EXPECT_EQ(box.text, kThreeLines);
    EXPECT_EQ(box.title, "Cancel?");
    EXPECT_EQ(box.buttons, platform::Buttons::kYesNo);
    EXPECT_EQ(box.icon, platform::Icon::kExclamation);
    EXPECT_EQ(box.default_button, Answer::kNo);
    EXPECT_EQ(h.ErrorLog(), c.cancelled ? kCancelLine : "");
    EXPECT_EQ(h.ServicePackLog(), "");
    EXPECT_FALSE(h.ui.ended);
  }
}

TEST(ConfirmCancelTest, IntegratedNamesTheProgramFileAsItLiesOnDisk) {
  Harness<zc::ProjectRun> h;
  std::string log = h.Path("cfg.txt");
  h.run.process.command_line = "/EXTERNAL=R7QCFG /LOGFILE=" + log;
  h.run.IntegratedMode = true;
  h.ui.Script({Answer::kYes});
  EXPECT_TRUE(ConfirmCancel(h.run));
  ASSERT_EQ(h.ui.shown.size(), 1u);
  EXPECT_EQ(h.ui.shown[0].text,
            kThreeLines +
                "\n\r\"Zantel\" has to be configured again in "
                "\"standalone-mode\" via \n\r\"" +
                h.Path(kOnWindows ? "Bin/Zantel_Config.exe" : "Bin/Zantel_Config") + "\"");
  EXPECT_EQ(ReadFile(log), kCancelLine);
  EXPECT_EQ(h.ErrorLog(), "");
}

TEST(ConfirmCancelTest, AProgramInTheRootNamesItsFileWithOneSeparator) {
  testing::TempDir logs;
  platform::ScriptedUi ui;
  zc::ProjectRun run(
      testing::FactsFor(testing::AtRoot("Zantel_Config"), "", logs.path() + "/sp.log"), ui);
  run.IntegratedMode = true;
  ui.Script({Answer::kNo});
  EXPECT_FALSE(ConfirmCancel(run));
  ASSERT_EQ(ui.shown.size(), 1u);
  std::string file = testing::AtRoot(kOnWindows ? "Zantel_Config.exe" : "Zantel_Config");
  EXPECT_TRUE(ui.shown[0].text.ends_with("via \n\r\"" + file + "\"")) << ui.shown[0].text;
}

TEST(ConfirmCancelTest, SilentLogsTheWarningAndGivesUp) {
  Harness<zc::ProjectRun> h("/EXTERNAL=SILENT");
  h.run.SilentMode = true;
  EXPECT_TRUE(ConfirmCancel(h.run));
  EXPECT_TRUE(h.ui.shown.empty());
  EXPECT_EQ(h.ServicePackLog(), "! Fault Zantel_Config: " + kThreeLines + "\r\n");
  EXPECT_EQ(h.ErrorLog(), "");
}

TEST(ConfirmCancelTest, AnUnwritableLogReachesTheCaller) {
  Harness<zc::ProjectRun> h;
  h.run.process.command_line = "/EXTERNAL=R7QCFG /LOGFILE=" + h.Path("no/such/folder/log.txt");
  h.run.IntegratedMode = true;
  std::filesystem::create_directories(h.Path("R7Qcfglog.txt"));  // the fallback is blocked too
  h.ui.Script({Answer::kYes});
  EXPECT_THROW(ConfirmCancel(h.run), Failure);
  EXPECT_EQ(h.ui.shown.size(), 1u);  // the question only, no error dialog
}

}  // namespace
}  // namespace zc
