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
  explicit Subject(const std::string& command_line = "")
      : h(command_line), window(h.run, [this](Program& run) { Work(run); }) {
    std::filesystem::create_directories(h.Path("Bin"));
    WriteFile(h.Path("Zantel/Zantel.cfg"), "[Project]\r\n");
    window.SetObserver(&events);
  }
  void Work(Program& run) {
    ++work_runs;
    events.Note("work");
    if (during_work) during_work();
  }
  // The exit code of the end `action` reaches; -1 when the program goes on.
  int ExitCode(const std::function<void()>& action) {
    try {
      action();
    } catch (const ProgramEnded& ended) {
      return ended.exit_code;
    }
    return -1;
  }
  // Cancel or the window's close box, whose handler sets `cancel` to keep it.
  int Leave(bool close_box, bool& cancel) {
    return ExitCode([&] {
      close_box ? void(window.Form_QueryUnload(cancel, 0)) : window.CommandCancel_Click();
    });
  }
  bool Enabled(const char* name) const { return window.Control(name).Enabled; }
  std::string Stamp() const { return ReadFile(h.Path("Zantel/Zantel.cfg")); }

  Harness<Program> h;
  EventLog events;
  frm_Zantel_Config_Exe window;
  int work_runs = 0;
  std::function<void()> during_work;
};

// Loading reads the texts, then the start mode, then the machines; a window
// start then waits, a silent one runs the work at once. What it would show
// goes to the service-pack log, and the exit status tells of the failure.
TEST(MainWindowTest, LoadingReadsTextsThenStartModeThenMachines) {
  for (bool silent : {false, true}) {
    Subject s(silent ? "/EXTERNAL=SILENT" : "");
    WriteFile(s.h.Path("parameter/Program.ini"),
              "[Project]\r\nNumberOfMachines=2\r\n[Machine1]\r\nMachineName=M1\r\n");
    WriteFile(s.h.Path("Bin/Zantel_Config.ini"), "[1031]\r\nTTT_CommandOK_=Start\r\n");
    s.events.context = [&] { return " (" + std::to_string(s.h.run.ExistingMachines.size()) + ")"; };
    s.during_work = [&] {
      Procedure proc(s.h.run, "WorkOnMDB");
      proc.Step([] { throw Failure(3024, "Could not find file."); });
    };
    EXPECT_EQ(s.ExitCode([&] { s.window.Form_Load(); }),
              silent ? exit_status::kDoneWithFailures : -1);
    std::vector<std::string> expected;
    for (const char* line : {"MainFrame on grey", "Header on grey", "CommandOK off grey",
                             "CommandCancel off grey", "CommandQuest on grey"}) {
      expected.push_back(line + std::string(" (0)"));
    }
    expected.push_back("caption Erweiterte Konfiguration Bin - standalone (0)");
    if (silent) {
      expected.insert(expected.end(), {"CommandOK off grey (3)", "CommandCancel off grey (3)",
                                       "hourglass (3)", "work (3)", "default pointer (3)"});
    } else {
      expected.insert(expected.end(), {"CommandOK on grey (3)", "CommandCancel on grey (3)"});
    }
    EXPECT_EQ(s.events.lines, expected);
    EXPECT_EQ(s.window.Control("CommandOK").ToolTipText, "Start");
    EXPECT_EQ(s.h.ui.pointer_changes,
              silent ? std::vector<bool>({true, false}) : std::vector<bool>());
    EXPECT_EQ(s.Stamp().find("S_Prog=1.0.1 - Standalone") != std::string::npos, silent);
    EXPECT_TRUE(s.h.ui.shown.empty());
    EXPECT_EQ(s.h.ServicePackLog().find("Could not find file.") != std::string::npos, silent);
  }
}

// Line breaks of help texts are marked "<CRLF>", in any letter case.
TEST(MainWindowTest, HelpModeShowsHelpTextsInsteadOfWorking) {
  Subject s;
  WriteFile(s.h.Path("Bin/Zantel_Config.ini"),
            "[1031]\r\nHelp1=<CrLf>Check<CRLF>the<crlf>machines <CR LF><CRLF>\r\n"
            "Help2=Gives up\r\n");
  s.window.Form_Load();
  s.window.CommandQuest_Click();
  EXPECT_EQ(s.window.Control("CommandQuest").BackColor, texts::kGreen);
  s.h.ui.Script({Answer::kOk, Answer::kOk});
  s.window.CommandOK_Click();
  s.window.CommandCancel_Click();
  ASSERT_EQ(s.h.ui.shown.size(), 2u);
  EXPECT_EQ(s.h.ui.shown[0].text, "\r\nCheck\r\nthe\r\nmachines <CR LF>\r\n");
  EXPECT_EQ(s.h.ui.shown[0].title, "Info:");
  EXPECT_EQ(s.h.ui.shown[1].text, "Gives up");
  EXPECT_EQ(s.work_runs, 0);
  EXPECT_TRUE(s.Enabled("CommandOK") && s.Enabled("CommandCancel"));
  // Out of help mode, OK starts the work, once, and the run is stamped.
  s.window.CommandQuest_Click();
  EXPECT_EQ(s.window.Control("CommandQuest").BackColor, texts::kLightGrey);
  EXPECT_EQ(s.Stamp(), "[Project]\r\n");
  EXPECT_EQ(s.ExitCode([&] { s.window.CommandOK_Click(); }), exit_status::kDone);
  EXPECT_EQ(s.work_runs, 1);
  EXPECT_FALSE(s.Enabled("CommandOK") || s.Enabled("CommandCancel"));
  EXPECT_NE(s.Stamp().find("S_Prog=1.0.1 - Standalone"), std::string::npos);
}

// Cancel and the close box ask first, No being the default; a give-up is
// logged, and so is the count of a failure that repeated before it.
TEST(MainWindowTest, CancelAndTheCloseBoxAskFirstAndAGiveUpIsLogged) {
  struct Case {
    bool close_box;
    Answer answer;
    int exit_code;  // -1: the window stays
    bool help_mode = false;
    const char* command_line = "";
    bool log_blocked = false;
  } cases[] = {
      {false, Answer::kNo, -1},
      {false, Answer::kYes, exit_status::kCancelled},
      {true, Answer::kNo, -1},
      {true, Answer::kYes, exit_status::kCancelled},  // the only window unloads
      {true, Answer::kNone, -1},                      // Esc or the question's close box: no answer
      {true, Answer::kYes, exit_status::kCancelled, true},
      // An integrated start names the program to start by hand as it lies on
      // disk: no ".exe" on POSIX.
      {false, Answer::kYes, exit_status::kCancelled, false, "/EXTERNAL=R7QCFG"},
      // A give-up that cannot be logged is a failure; resumed, Cancel goes on
      // to the end and the close box keeps the window.
      {false, Answer::kYes, exit_status::kCancelled, false, "", true},
      {true, Answer::kYes, -1, false, "", true},
  };
  const std::string failure = "Fehler in Zantel / S / P (Nr. 1) :Once more";
  for (const Case& c : cases) {
    Subject s(c.command_line);
    s.window.Form_Load();
    if (c.help_mode) s.window.CommandQuest_Click();
    if (c.log_blocked) std::filesystem::create_directories(s.h.Path("R7Qcfglog.txt"));
    s.h.ui.Script({Answer::kYes, c.answer, Answer::kYes});
    for (int i = 0; i < 2; ++i) ErrorSub(s.h.run, 1, "S", "Once more", "P", false);
    const bool stays = c.exit_code == -1;
    bool cancel = false;
    EXPECT_EQ(s.Leave(c.close_box, cancel), c.exit_code);
    EXPECT_EQ(cancel, c.close_box && stays);
    EXPECT_EQ(s.window.Caption(), std::string("Erweiterte Konfiguration Bin - ") +
                                      (*c.command_line ? "integriert" : "standalone"));
    ASSERT_EQ(s.h.ui.shown.size(), c.log_blocked ? 3u : 2u);
    if (c.log_blocked) {
      EXPECT_EQ(s.h.ui.shown[2].title, "Unexpected error");
      EXPECT_NE(s.h.ui.shown[2].text.find("error log could not be written"), std::string::npos);
    }
    const platform::MessageBox& box = s.h.ui.shown[1];
    std::string question = "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ";
    if (*c.command_line) {
      question += "\n\r\"Zantel\" has to be configured again in \"standalone-mode\" via \n\r\"" +
                  s.h.Path("Bin/Zantel_Config") + std::string(platform::ProgramExtension()) + "\"";
    }
    EXPECT_EQ(box.text, question);
    EXPECT_EQ(box.title, "Cancel?");
    EXPECT_EQ(box.buttons, platform::Buttons::kYesNo);
    EXPECT_EQ(box.icon, platform::Icon::kExclamation);
    EXPECT_EQ(box.default_button, Answer::kNo);
    if (!c.log_blocked) {
      EXPECT_EQ(s.h.ErrorLog(),
                failure + "\r\n" +
                    (stays ? ""
                           : "Konfigurations-EXE wurde abgebrochen:     Zantel\r\n" + failure +
                                 " (1 more times)\r\n"));
    }
    EXPECT_TRUE(s.Enabled("CommandOK") && s.Enabled("CommandCancel"));
    EXPECT_EQ(s.work_runs, 0);
    EXPECT_EQ(s.Stamp(), "[Project]\r\n");
  }
}

// Given up during the work, the run drops what the database layer holds back
// before the end commits and closes it, and the run gets no edit stamp.
TEST(MainWindowTest, AConfirmedCloseDuringTheWorkEndsTheRunAndDropsItsWrites) {
  struct : PendingWrites {
    void CommitPendingWrites() override { calls += "commit "; }
    void FinishPendingWrites() override { calls += "finish"; }
    void DiscardPendingWrites() override { calls += "discard "; }
    std::string calls;
  } writes;
  Subject s;
  bool cancel = false;
  s.during_work = [&] {
    s.h.run.pending_writes = &writes;
    s.h.ui.Script({Answer::kYes});
    s.window.Form_QueryUnload(cancel, 0);
  };
  s.window.Form_Load();
  EXPECT_EQ(s.ExitCode([&] { s.window.CommandOK_Click(); }), exit_status::kCancelled);
  EXPECT_TRUE(writes.calls.ends_with("discard finish")) << writes.calls;
  EXPECT_EQ(s.Stamp(), "[Project]\r\n");
}

}  // namespace
}  // namespace zc
