#include "app/main_window.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "errors/error_sub.h"
#include "errors/procedure.h"
#include "support/temp_project.h"

namespace zc {
namespace {

using platform::Answer;
using platform::ProgramEnded;
using testing::Harness;
using testing::ReadFile;
using testing::WriteFile;

// What a view of the window would have been told, one line per change.
struct EventLog : WindowObserver {
  void CaptionChanged(const std::string& caption) override { Note("caption " + caption); }
  void ControlChanged(const texts::Control& control) override {
    std::string colour = control.BackColor == texts::kGreen       ? "green"
                         : control.BackColor == texts::kLightGrey ? "grey"
                                                                  : "other";
    Note(control.Name + (control.Enabled ? " on " : " off ") + colour);
  }
  void MousePointerChanged(bool busy) override { Note(busy ? "hourglass" : "default pointer"); }
  void Note(const std::string& line) { lines.push_back(line + (context ? context() : "")); }

  std::vector<std::string> lines;
  std::function<std::string()> context;  // appended to every line
};

// A window over a project whose component has its configuration file.
struct Subject {
  explicit Subject(const std::string& command_line = "", const std::string& folder = "Bin")
      : h(command_line, "Zantel_Config", folder),
        window(h.run, [this](Program& run) { Work(run); }) {
    std::filesystem::create_directories(h.Path(folder));
    WriteFile(h.Path("Zantel/Zantel.cfg"), "[Project]\r\n");
    window.SetObserver(&events);
  }
  void Work(Program& run) {
    ++work_runs;
    events.Note("work");
    if (during_work) during_work();
  }
  // Runs `action` and returns the exit code of the end it reaches; -1 when
  // the program goes on.
  int ExitCode(const std::function<void()>& action) {
    try {
      action();
    } catch (const ProgramEnded& ended) {
      return ended.exit_code;
    }
    return -1;
  }
  bool Enabled(const char* name) const { return window.Control(name).Enabled; }
  std::string Stamp() const { return ReadFile(h.Path("Zantel/Zantel.cfg")); }

  Harness<Program> h;
  EventLog events;
  frm_Zantel_Config_Exe window;
  int work_runs = 0;
  std::function<void()> during_work;
};

const std::vector<std::string> kDesignedTexts = {
    "MainFrame on grey",      "Header on grey",       "CommandOK off grey",
    "CommandCancel off grey", "CommandQuest on grey",
};

TEST(MainWindowTest, LoadingReadsTextsThenStartModeThenMachinesAndWaits) {
  Subject s;
  WriteFile(s.h.Path("parameter/Program.ini"),
            "[Project]\r\nNumberOfMachines=2\r\n[Machine1]\r\nMachineName=M1\r\n");
  WriteFile(s.h.Path("Bin/Zantel_Config.ini"), "[1031]\r\nTTT_CommandOK_=Start\r\n");
  s.events.context = [&] { return " (" + std::to_string(s.h.run.ExistingMachines.size()) + ")"; };
  s.window.Form_Load();
  std::vector<std::string> expected;
  for (const std::string& line : kDesignedTexts) expected.push_back(line + " (0)");
  expected.insert(expected.end(), {"caption Erweiterte Konfiguration Bin - standalone (0)",
                                   "CommandOK on grey (3)", "CommandCancel on grey (3)"});
  EXPECT_EQ(s.events.lines, expected);
  EXPECT_EQ(s.window.Control("CommandOK").ToolTipText, "Start");
  EXPECT_EQ(s.h.run.ProgramIniPath, s.h.Path("parameter/Program.ini"));
  EXPECT_EQ(s.work_runs, 0);
  EXPECT_TRUE(s.h.ui.shown.empty());
}

TEST(MainWindowTest, CaptionNamesTheProgramFolderAndTheStartMode) {
  struct Case {
    const char* command_line;
    const char* folder;
    const char* caption;
  } cases[] = {
      {"", "Cfg", "Erweiterte Konfiguration Cfg - standalone"},
      {"/EXTERNAL=R7QCFG", "Cfg", "Erweiterte Konfiguration Cfg - integriert"},
      {"/EXTERNAL=other", "Bin", "Erweiterte Konfiguration Bin - standalone"},
  };
  for (const Case& c : cases) {
    Subject s(c.command_line, c.folder);
    s.window.Form_Load();
    EXPECT_EQ(s.window.Caption(), c.caption);
  }
  platform::ScriptedUi ui;
  ProjectRun at_root(testing::FactsFor(testing::AtRoot("Zantel_Config"), "", "/tmp/sp.log"), ui);
  EXPECT_EQ(FormCaption(at_root, false), "Erweiterte Konfiguration  - standalone");
}

TEST(MainWindowTest, SilentStartRunsTheWorkDuringLoadingWithoutADialog) {
  Subject s("/EXTERNAL=SILENT");
  s.during_work = [&] {
    EXPECT_FALSE(s.Enabled("CommandOK"));
    EXPECT_EQ(s.h.ui.pointer_changes, std::vector<bool>{true});
  };
  EXPECT_EQ(s.ExitCode([&] { s.window.Form_Load(); }), exit_status::kDone);
  std::vector<std::string> expected = kDesignedTexts;
  expected.insert(expected.end(),
                  {"caption Erweiterte Konfiguration Bin - standalone", "CommandOK off grey",
                   "CommandCancel off grey", "hourglass", "work", "default pointer"});
  EXPECT_EQ(s.events.lines, expected);
  EXPECT_EQ(s.h.ui.pointer_changes, (std::vector<bool>{true, false}));
  EXPECT_NE(s.Stamp().find("S_Prog=1.0.1 - Standalone"), std::string::npos);
  EXPECT_TRUE(s.h.ui.shown.empty());
  EXPECT_EQ(s.h.ServicePackLog(), "");
}

TEST(MainWindowTest, OnlyOkStartsTheWork) {
  Subject s;
  s.window.Form_Load();
  s.window.Form_Activate();
  s.window.Form_Resize();
  s.window.CommandQuest_Click();
  s.window.CommandQuest_Click();
  s.h.ui.Script({Answer::kNo});
  s.window.CommandCancel_Click();
  bool cancel = false;
  s.h.ui.Script({Answer::kNo});
  s.window.Form_QueryUnload(cancel, 0);
  EXPECT_EQ(s.work_runs, 0);
  EXPECT_EQ(s.Stamp(), "[Project]\r\n");

  EXPECT_EQ(s.ExitCode([&] { s.window.CommandOK_Click(); }), exit_status::kDone);
  EXPECT_EQ(s.work_runs, 1);
  EXPECT_FALSE(s.Enabled("CommandOK"));
  EXPECT_FALSE(s.Enabled("CommandCancel"));
  EXPECT_NE(s.Stamp().find("S_Prog=1.0.1 - Standalone"), std::string::npos);
}

TEST(MainWindowTest, FailuresReportedDuringTheWorkShowInTheExitStatus) {
  Subject s;
  s.during_work = [&] {
    Procedure proc(s.h.run, "WorkOnMDB");
    proc.Step([] { throw Failure(3024, "Could not find file."); });
  };
  s.window.Form_Load();
  s.h.ui.Script({Answer::kYes});
  EXPECT_EQ(s.ExitCode([&] { s.window.CommandOK_Click(); }), exit_status::kDoneWithFailures);
  EXPECT_NE(s.Stamp().find("S_Prog="), std::string::npos);  // the run went on to the stamp
}

TEST(MainWindowTest, HelpModeShowsHelpTextsInsteadOfWorking) {
  struct Case {
    const char* help;
    const char* shown;
  } cases[] = {
      {"Check<CRLF>the<crlf>machines", "Check\r\nthe\r\nmachines"},
      {"<CrLf>x<CRLF>", "\r\nx\r\n"},
      {"One line <CR LF>", "One line <CR LF>"},
  };
  for (const Case& c : cases) {
    Subject s;
    WriteFile(s.h.Path("Bin/Zantel_Config.ini"),
              std::string("[1031]\r\nHelp1=") + c.help + "\r\nHelp2=Gives up\r\n");
    s.window.Form_Load();
    s.window.CommandQuest_Click();
    EXPECT_EQ(s.window.Control("CommandQuest").BackColor, texts::kGreen);
    s.h.ui.Script({Answer::kOk, Answer::kOk});
    s.window.CommandOK_Click();
    s.window.CommandCancel_Click();
    ASSERT_EQ(s.h.ui.shown.size(), 2u);
    EXPECT_EQ(s.h.ui.shown[0].text, c.shown);
    EXPECT_EQ(s.h.ui.shown[0].title, "Info:");
    EXPECT_EQ(s.h.ui.shown[0].icon, platform::Icon::kInformation);
    EXPECT_EQ(s.h.ui.shown[1].text, "Gives up");
    EXPECT_EQ(s.work_runs, 0);
    EXPECT_TRUE(s.Enabled("CommandOK") && s.Enabled("CommandCancel"));

    s.window.CommandQuest_Click();
    EXPECT_EQ(s.window.Control("CommandQuest").BackColor, texts::kLightGrey);
    EXPECT_EQ(s.ExitCode([&] { s.window.CommandOK_Click(); }), exit_status::kDone);
    EXPECT_EQ(s.work_runs, 1);
  }
}

TEST(MainWindowTest, CancelAndTheCloseBoxAskFirstAndAGiveUpLogsTheRepeatCount) {
  struct Case {
    bool help_mode;
    bool close_box;
    Answer answer;
    int exit_code;  // -1: the window stays
    bool cancel_flag;
  } cases[] = {
      {false, false, Answer::kNo, -1, false},
      {false, false, Answer::kYes, exit_status::kCancelled, false},
      {false, true, Answer::kNo, -1, true},
      {false, true, Answer::kYes, exit_status::kCancelled, false},  // the only window unloads
      {true, true, Answer::kNo, -1, true},
      {true, true, Answer::kYes, exit_status::kCancelled, false},
  };
  for (const Case& c : cases) {
    Subject s;
    s.window.Form_Load();
    if (c.help_mode) s.window.CommandQuest_Click();
    s.h.ui.Script({Answer::kYes, c.answer});
    for (int i = 0; i < 2; ++i) ErrorSub(s.h.run, 1, "S", "Once more", "P", false);
    bool cancel = false;
    int code = s.ExitCode([&] {
      if (c.close_box) {
        EXPECT_EQ(s.window.Form_QueryUnload(cancel, 0), c.cancel_flag);
      } else {
        s.window.CommandCancel_Click();
      }
    });
    EXPECT_EQ(code, c.exit_code);
    EXPECT_EQ(cancel, c.cancel_flag);
    ASSERT_EQ(s.h.ui.shown.size(), 2u);
    EXPECT_EQ(s.h.ui.shown[1].title, "Cancel?");
    EXPECT_EQ(s.h.ErrorLog().ends_with("Once more (1 more times)\r\n"), code != -1);
    EXPECT_TRUE(s.Enabled("CommandOK"));
    EXPECT_TRUE(s.Enabled("CommandCancel"));
    EXPECT_EQ(s.work_runs, 0);
  }
}

TEST(MainWindowTest, AConfirmedCloseDuringTheWorkEndsTheRun) {
  Subject s;
  bool cancel = false;
  s.during_work = [&] {
    s.h.ui.Script({Answer::kYes});
    s.window.Form_QueryUnload(cancel, 0);
  };
  s.window.Form_Load();
  EXPECT_EQ(s.ExitCode([&] { s.window.CommandOK_Click(); }), exit_status::kCancelled);
  EXPECT_EQ(s.Stamp(), "[Project]\r\n");  // no edit stamp for a run given up
}

TEST(MainWindowTest, AFailedCancelQuestionResumesWithItsConsequence) {
  for (bool close_box : {false, true}) {
    Subject s;
    s.window.Form_Load();
    std::filesystem::create_directories(s.h.Path("R7Qcfglog.txt"));  // the log cannot be written
    s.h.ui.Script({Answer::kYes, Answer::kYes});  // give up; then resume after the failure
    bool cancel = false;
    int code = s.ExitCode([&] {
      if (close_box) {
        s.window.Form_QueryUnload(cancel, 0);
      } else {
        s.window.CommandCancel_Click();
      }
    });
    ASSERT_EQ(s.h.ui.shown.size(), 2u);
    EXPECT_EQ(s.h.ui.shown[1].title, "Unexpected error");
    // Cancel goes on to the end, the close box keeps the window open.
    EXPECT_EQ(code, close_box ? -1 : exit_status::kCancelled);
    EXPECT_EQ(cancel, close_box);
  }
}

}  // namespace
}  // namespace zc
