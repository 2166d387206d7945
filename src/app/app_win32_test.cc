// The window's caption and the cancel question name Windows folders and files.
#include <gtest/gtest.h>

#include "app/confirm_cancel.h"
#include "app/main_window.h"
#include "support/temp_project.h"

namespace zc {
namespace {

using platform::Answer;
using testing::FactsFor;

TEST(WindowsCaptionTest, NamesTheProgramFolderBelowADriveRoot) {
  struct Case {
    const char* program;
    const char* caption;
  } cases[] = {
      {"D:\\Cfg\\Zantel_Config.exe", "Erweiterte Konfiguration Cfg - standalone"},
      {"D:\\Plant\\Bin\\Zantel_Config.exe", "Erweiterte Konfiguration Bin - standalone"},
      {"D:\\Zantel_Config.exe", "Erweiterte Konfiguration  - standalone"},
  };
  for (const Case& c : cases) {
    platform::ScriptedUi ui;
    ProjectRun run(FactsFor(c.program, "", ""), ui);
    EXPECT_EQ(FormCaption(run, false), c.caption);
  }
}

TEST(WindowsCancelTest, IntegratedNamesTheProgramFileToStartByHand) {
  platform::ScriptedUi ui;
  ProjectRun run(FactsFor("D:\\Proj\\Cfg\\Alpha_Config.exe", "", ""), ui);
  run.IntegratedMode = true;
  ui.Script({Answer::kNo});
  EXPECT_FALSE(ConfirmCancel(run));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text,
            "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over \n\r"
            "\"Alpha\" has to be configured again in \"standalone-mode\" via \n\r"
            "\"D:\\Proj\\Cfg\\Alpha_Config.exe\"");
}

}  // namespace
}  // namespace zc
