#include "errors/error_sub.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "errors/procedure.h"
#include "platform/ansi_text.h"
#include "support/temp_project.h"

namespace zc {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::ProgramEnded;
using testing::Harness;

TEST(ErrorSubTest, LogsTheLineThenAsksWhetherToResume) {
  Harness<zc::Run> h;
  h.ui.Script({Answer::kYes});
  EXPECT_EQ(ErrorSub(h.run, 3021, "DAO.Recordset", "No current record.", "WorkOnMDB", false),
            decision::kResume);
  EXPECT_EQ(h.ErrorLog(),
            "Fehler in Zantel / DAO.Recordset / WorkOnMDB (Nr. 3021) :No current record.\r\n");
  ASSERT_EQ(h.ui.shown.size(), 1u);
  const platform::MessageBox& box = h.ui.shown[0];
  EXPECT_EQ(box.text, "Unexpected error!\n\rNo current record.\n\rError logged to \n\r" +
                          platform::UpperCase(h.Path("R7Qcfglog.txt")) + "\n\rResume?");
  EXPECT_EQ(box.title, "Unexpected error");
  EXPECT_EQ(box.buttons, Buttons::kYesNo);
  EXPECT_EQ(box.icon, Icon::kCritical);
  EXPECT_EQ(box.default_button, Answer::kYes);
}

TEST(ErrorSubTest, Decisions) {
  struct Case {
    Answer answer;
    bool fatal;
    std::int32_t decision;
  } cases[] = {
      {Answer::kYes, false, decision::kResume},
      {Answer::kNo, false, decision::kEndProgram},
      {Answer::kNone, false, decision::kResume},  // Enter takes the default, Yes
      {Answer::kOk, true, decision::kEndProgram},
  };
  for (const Case& c : cases) {
    Harness<zc::Run> h;
    h.ui.Script({c.answer});
    EXPECT_EQ(ErrorSub(h.run, 1, "S", "D", "P", c.fatal), c.decision);
  }
}

TEST(ErrorSubTest, FatalShowsOneOkBox) {
  Harness<zc::Run> h;
  h.ui.Script({Answer::kOk});
  ErrorSub(h.run, 9999, "Zantel_Config", "Database-Error - Contact Administrator!",
           "TakeoverMachineCopyMDBData", true);
  ASSERT_EQ(h.ui.shown.size(), 1u);
  EXPECT_EQ(h.ui.shown[0].title, "Fatal error");
  EXPECT_EQ(h.ui.shown[0].buttons, Buttons::kOk);
  EXPECT_EQ(h.ui.shown[0].text.find("Resume?"), std::string::npos);
}

TEST(ErrorSubTest, SilentRunsLogAndResumeEvenWhenFatal) {
  Harness<zc::Run> h;
  h.run.SilentMode = true;
  EXPECT_EQ(ErrorSub(h.run, -7, "S", "", "P", true), decision::kResume);
  EXPECT_TRUE(h.ui.shown.empty());
  EXPECT_EQ(h.ErrorLog(), "Fehler in Zantel / S / P (Nr. -7) :\r\n");
  EXPECT_EQ(h.ServicePackLog(),
            "! Fault Zantel_Config: Unexpected error!\n\r\n\rError logged to \n\r" +
                platform::UpperCase(h.Path("R7Qcfglog.txt")) + "\r\n");
}

TEST(ErrorSubTest, ALogfileThatCannotBeWrittenFallsBackToTheProjectLog) {
  Harness<zc::Run> h;
  h.run.process.command_line = "/EXTERNAL=R7QCFG /LOGFILE=" + h.Path("no/such/folder/log.txt");
  h.run.IntegratedMode = true;
  h.ui.Script({Answer::kYes});
  EXPECT_EQ(ErrorSub(h.run, 1, "S", "D", "P", false), decision::kResume);
  EXPECT_EQ(h.ErrorLog(), "Fehler in Zantel / S / P (Nr. 1) :D\r\n");
  EXPECT_NE(h.ui.shown[0].text.find(platform::UpperCase(h.Path("R7Qcfglog.txt"))),
            std::string::npos);
}

TEST(ErrorSubTest, AnUnwritableLogIsExplainedNotRepeated) {
  Harness<zc::Run> h;
  std::filesystem::create_directories(h.Path("R7Qcfglog.txt"));
  h.ui.Script({Answer::kYes});
  EXPECT_EQ(ErrorSub(h.run, 1, "S", "D", "P", false), decision::kResume);
  ASSERT_EQ(h.ui.shown.size(), 1u);
  EXPECT_NE(h.ui.shown[0].text.find("The error log could not be written"), std::string::npos);
}

TEST(ErrorSubTest, AResumedFailureThatRepeatsIsShownOnceAndCountedOnTheWayOut) {
  Harness<zc::Run> h;
  h.ui.Script({Answer::kYes, Answer::kNo});
  for (int row = 0; row < 3; ++row)
    ErrorSub(h.run, 3265, "DAO.Fields", "Item not found.", "P", false);
  Procedure proc(h.run, "P");
  // "No" at another failure ends the program: the count goes with it.
  EXPECT_THROW(proc.Step([] { throw Failure(5, "Other", "S"); }), platform::ProgramEnded);
  EXPECT_EQ(h.ui.shown.size(), 2u);
  EXPECT_EQ(h.ErrorLog(),
            "Fehler in Zantel / DAO.Fields / P (Nr. 3265) :Item not found.\r\n"
            "Fehler in Zantel / S / P (Nr. 5) :Other\r\n"
            "Fehler in Zantel / DAO.Fields / P (Nr. 3265) :Item not found. (2 more times)\r\n");
}

TEST(ProcedureTest, AResumedStepLeavesItsResultAndTheNextStepRuns) {
  Harness<zc::Run> h;
  h.ui.Script({Answer::kYes});
  Procedure proc(h.run, "GetValidMachines");
  std::string result = "before";
  bool next_ran = false;
  EXPECT_FALSE(proc.Step([&] {
    failures::Overflow();
    result = "never";
  }));
  proc.Step([&] { next_ran = true; });
  EXPECT_EQ(result, "before");
  EXPECT_TRUE(next_ran);
  EXPECT_EQ(h.ErrorLog(),
            "Fehler in Zantel / Zantel_Config / GetValidMachines (Nr. 6) :Overflow\r\n");
}

TEST(ProcedureTest, NoEndsTheProgramAndNothingAfterRuns) {
  Harness<zc::Run> h;
  h.ui.Script({Answer::kNo});
  Procedure proc(h.run, "WorkOnMDB");
  bool next_ran = false;
  EXPECT_THROW(
      {
        proc.Step([&] { throw Failure(3078, "Table missing.", "DAO.Database"); });
        next_ran = true;
      },
      ProgramEnded);
  EXPECT_FALSE(next_ran);
  EXPECT_TRUE(h.ui.ended);
  EXPECT_EQ(h.ui.exit_code, exit_status::kEndedOnFailure);
  EXPECT_NE(h.ErrorLog().find("DAO.Database / WorkOnMDB (Nr. 3078)"), std::string::npos);
}

TEST(ProcedureTest, ForeignExceptionsAreReportedAsFailures) {
  Harness<zc::Run> h;
  h.run.SilentMode = true;
  Procedure proc(h.run, "P");
  proc.Step([] { throw std::runtime_error("boom"); });
  EXPECT_NE(h.ErrorLog().find("(Nr. 51) :Internal error: boom"), std::string::npos);
}

}  // namespace
}  // namespace zc
