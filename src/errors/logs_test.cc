#include "errors/logs.h"

#include <gtest/gtest.h>

#include "platform/ansi_text.h"
#include "support/temp_project.h"

namespace zc {
namespace {

using platform::Answer;
using testing::Harness;
using testing::ReadFile;

TEST(ErrorLogTest, StandaloneRunsLogBesideTheProgramFolder) {
  Harness<zc::Run> h;
  EXPECT_EQ(WriteErrorLog(h.run, "first"),
            "Error logged to \n\r" + platform::UpperCase(h.Path("R7Qcfglog.txt")));
  WriteErrorLog(h.run, "zweite Zeile: völlig");
  EXPECT_EQ(h.ErrorLog(), "first\r\nzweite Zeile: v\xF6llig\r\n");
}

TEST(ErrorLogTest, IntegratedRunsLogWhereTheCommandLineSays) {
  Harness<zc::Run> h;
  std::string named = h.Path("logs/cfg.txt");
  testing::WriteFile(named, "earlier\r\n");
  h.run.process.command_line = "/EXTERNAL=R7QCFG /LOGFILE=" + named;
  h.run.IntegratedMode = true;
  WriteErrorLog(h.run, "line");
  EXPECT_EQ(ReadFile(named), "earlier\r\nline\r\n");
  EXPECT_EQ(h.ErrorLog(), "");
}

TEST(ErrorLogTest, IntegratedRunWithoutLogfileKeepsTheStandaloneLog) {
  Harness<zc::Run> h("/EXTERNAL=R7QCFG");
  h.run.IntegratedMode = true;
  WriteErrorLog(h.run, "kept");
  EXPECT_EQ(h.ErrorLog(), "kept\r\n");
}

TEST(ShowOrLogFaultTest, SilentRunsWriteTheServicePackLog) {
  Harness<zc::Run> h;
  h.run.SilentMode = true;
  ShowOrLogFault(h.run, "File not found: \n\rX");
  EXPECT_TRUE(h.ui.shown.empty());
  EXPECT_EQ(h.ServicePackLog(), "! Fault Zantel_Config: File not found: \n\rX\r\n");
}

TEST(ShowOrLogFaultTest, OtherRunsShowACriticalBoxTitledWithTheProgram) {
  Harness<zc::Run> h;
  h.ui.Script({Answer::kOk});
  ShowOrLogFault(h.run, "text");
  ASSERT_EQ(h.ui.shown.size(), 1u);
  EXPECT_EQ(h.ui.shown[0].title, "Zantel_Config");
  EXPECT_EQ(h.ui.shown[0].icon, platform::Icon::kCritical);
  EXPECT_EQ(h.ServicePackLog(), "");
}

}  // namespace
}  // namespace zc
