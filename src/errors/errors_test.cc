// The start-up facts, the error routine and the handler every procedure carries.
#include <gtest/gtest.h>

#include "errors/command_text.h"
#include "errors/error_sub.h"
#include "errors/procedure.h"
#include "errors/start_up.h"
#include "platform/ansi_text.h"
#include "support/temp_project.h"

namespace zc {
namespace {

using platform::Answer;
using testing::Harness;
using testing::kOnWindows;

// On POSIX "/" separates folders, so a value runs to the next key (a "/"
// after a blank) and keeps its letter case. On Windows every "/" ends a value
// and every value comes back in upper case, file paths too.
TEST(CommandValueTest, Table) {
  struct Case {
    const char* line;
    std::string_view key;
    const char* value;
    const char* on_windows = nullptr;  // where Windows differs
  } cases[] = {
      {"/EXTERNAL=R7QCFG /LOGFILE=C:\\Proj\\log.txt", kKeyLogfile, "C:\\Proj\\log.txt",
       "C:\\PROJ\\LOG.TXT"},
      {"/external=Silent", kKeyExternal, "Silent", "SILENT"},
      {"", kKeyExternal, ""},
      {"/EXTERNAL==R7QCFG", kKeyExternal, "=R7QCFG"},
      {"/EXTERNAL=  R7QCFG  /OTHER", kKeyExternal, "R7QCFG"},
      // A plain substring search: the key may sit inside a longer word.
      {"/MYEXTERNAL:R7QCFG", kKeyExternal, "R7QCFG"},
      // Broken UTF-8 before the key must not shift where its value starts.
      {"\xC1\xB7\xC1\xB7 /LOGFILE=X.TXT", kKeyLogfile, "X.TXT"},
      {"/LOGFILE=  /var/log/a b.txt /EXTERNAL=R7QCFG", kKeyLogfile, "/var/log/a b.txt", ""},
      {"/LOGFILE=C:\\Proj/log.txt", kKeyLogfile, "C:\\Proj/log.txt", "C:\\PROJ"},
      {"/LOGFILE=  d:\\a b\\stra\xC3\x9F\xC3\xA9.txt  ", kKeyLogfile,
       "d:\\a b\\stra\xC3\x9F\xC3\xA9.txt", "D:\\A B\\STRA\xC3\x9F\xC3\x89.TXT"},
      // A key's name inside an earlier key's value is no key on POSIX; on
      // Windows it is, and the character after it is taken for the separator.
      {"/LOGFILE=/mnt/External/x.txt /EXTERNAL=R7QCFG", kKeyExternal, "R7QCFG", "X.TXT"},
      {"/LOGFILE=D:\\External\\x.txt /EXTERNAL=R7QCFG", kKeyLogfile, "D:\\External\\x.txt",
       "D:\\EXTERNAL\\X.TXT"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CommandValue(c.line, c.key), kOnWindows && c.on_windows ? c.on_windows : c.value)
        << c.line;
  }
}

// A key at the very end, with not even a separator after it, is an invalid
// argument: reported, then the start is a standalone one.
TEST(StartModeTest, Table) {
  enum Mode { kStandalone, kIntegrated, kSilent };
  struct Case {
    const char* line;
    Mode mode, on_windows;
    bool reported = false;
    bool preview = false;  // a word of its own, in any letter case
  } cases[] = {
      {"/EXTERNAL=R7QCFG /LOGFILE=/p/log.txt", kIntegrated, kIntegrated},
      {"/external=Silent", kSilent, kSilent},
      {"", kStandalone, kStandalone},
      {"/EXTERNAL=standalone", kStandalone, kStandalone},
      {"/LOGFILE=D:\\External\\x.txt /EXTERNAL=R7QCFG", kIntegrated, kStandalone},
      {"/LOGFILE=/x.txt /EXTERNAL", kStandalone, kStandalone, true},
      {"/EXTERNAL=SILENT /preview", kSilent, kSilent, false, true},
      {"/EXTERNAL=SILENT /PREVIEWS /LOGFILE=/p/PREVIEW", kSilent, kSilent},
  };
  for (const Case& c : cases) {
    Harness<zc::Run> h(c.line);
    h.ui.Script({Answer::kYes});
    Mode mode = kOnWindows ? c.on_windows : c.mode;
    EXPECT_EQ(GetStartModeIntegrated(h.run), mode == kIntegrated) << c.line;
    EXPECT_EQ(h.run.IntegratedMode, mode == kIntegrated) << c.line;
    EXPECT_EQ(h.run.SilentMode, mode == kSilent) << c.line;
    EXPECT_EQ(h.run.PreviewMode, c.preview) << c.line;
    EXPECT_EQ(h.ui.shown.size(), c.reported ? 1u : 0u) << c.line;
    EXPECT_EQ(h.ErrorLog(), c.reported ? "Fehler in Zantel / Zantel_Config / ReadCommand (Nr. 5) "
                                         ":Invalid procedure call or argument\r\n"
                                       : "")
        << c.line;
  }
}

// A name too short for a component is reported, once: the report itself asks
// for no component name.
TEST(OcxNameTest, DropsTheLastSevenCharactersOfTheProgramNameOnly) {
  struct Case {
    const char* program;
    const char* component;
    const char* on_windows;  // only ".exe" is no part of a Windows program's name
    bool reported = false;
  } cases[] = {{"Zantel_Config", "Zantel", "Zantel"},
               {"Config7", "", ""},
               {"Zan.tel_Config", "Zan.tel", "Zan.tel"},
               {"Zantel_Config.exe", "Zantel_Con", "Zantel"},
               {"Alpha_Config.EXE", "Alpha_Con", "Alpha"},
               {"Zantel_C\xC3\xB6nfig", "Zantel", "Zantel"},
               {"Short", "", "", true}};
  for (const Case& c : cases) {
    Harness<zc::Run> h("", c.program);
    h.ui.Script({Answer::kYes});
    EXPECT_EQ(GetOCXName(h.run), kOnWindows ? c.on_windows : c.component) << c.program;
    EXPECT_EQ(h.ErrorLog(), c.reported ? "Fehler in  / Short / GetOCXName (Nr. 5) :Invalid "
                                         "procedure call or argument\r\n"
                                       : "");
  }
}

// The line is logged first, in Windows-1252, and the box says where. An
// integrated start logs where LOGFILE says; where that cannot be written, in
// the project's own log rather than losing the line.
TEST(ErrorSubTest, LogsTheLineThenAsksWhetherToResume) {
  struct Case {
    Answer answer;
    bool fatal;
    std::int32_t decision;
    const char* logfile = nullptr;  // of an integrated start, in the project
    const char* log = "R7Qcfglog.txt";
    bool silent = false;
  } cases[] = {
      {Answer::kYes, false, decision::kResume},
      {Answer::kNo, false, decision::kEndProgram},
      {Answer::kNone, false, decision::kNoAnswer},  // Esc or the close box: only "No" ends
      {Answer::kOk, true, decision::kEndProgram},
      {Answer::kYes, false, decision::kResume, "logs/cfg.txt", "logs/cfg.txt"},
      {Answer::kYes, false, decision::kResume, "missing/cfg.txt"},  // no such folder
      // A silent start shows nothing and resumes even after a fatal failure.
      {Answer::kNone, true, decision::kResume, nullptr, "R7Qcfglog.txt", true},
  };
  for (const Case& c : cases) {
    Harness<zc::Run> h;
    if (c.logfile) {
      h.run.process.command_line = "/EXTERNAL=R7QCFG /LOGFILE=" + h.Path(c.logfile);
      h.run.IntegratedMode = true;
    }
    const std::string log = h.Path(c.log);
    testing::WriteFile(log, "earlier\r\n");
    h.run.SilentMode = c.silent;
    h.ui.Script({c.answer});
    EXPECT_EQ(ErrorSub(h.run, 3024, "DAO.Database", "Störung", "WorkOnMDB", c.fatal), c.decision);
    EXPECT_EQ(testing::ReadFile(log),
              "earlier\r\nFehler in Zantel / DAO.Database / WorkOnMDB (Nr. 3024) :St\xF6rung\r\n");
    EXPECT_EQ(h.ErrorLog().empty(), log != h.Path("R7Qcfglog.txt"));
    const std::string note =
        "\n\rError logged to \n\r" + testing::OnPlatform(log, platform::UpperCase(log));
    EXPECT_EQ(
        h.ServicePackLog(),
        c.silent ? "! Fault Zantel_Config: Unexpected error!\n\rSt\xF6rung" + note + "\r\n" : "");
    ASSERT_EQ(h.ui.shown.size(), c.silent ? 0u : 1u);
    if (c.silent) continue;
    const platform::MessageBox& box = h.ui.shown[0];
    EXPECT_EQ(box.text, "Unexpected error!\n\rStörung" + note + (c.fatal ? "" : "\n\rResume?"));
    EXPECT_EQ(box.title, c.fatal ? "Fatal error" : "Unexpected error");
    EXPECT_EQ(box.buttons, c.fatal ? platform::Buttons::kOk : platform::Buttons::kYesNo);
    EXPECT_EQ(box.icon, platform::Icon::kCritical);
    EXPECT_EQ(box.default_button, c.fatal ? Answer::kOk : Answer::kYes);
  }
}

// A failed step is reported under its procedure's name, any other exception
// as an internal error; resumed, the step gives false. A failure that repeats
// is shown once and its count logged on the way out, even when "No" at another
// failure ends the program.
TEST(ErrorSubTest, StepsAreReportedAndARepeatIsCountedOnTheWayOut) {
  Harness<zc::Run> h;
  h.ui.Script({Answer::kYes, Answer::kYes, Answer::kNo});
  Procedure proc(h.run, "P");
  EXPECT_TRUE(proc.Step([] {}));
  for (int row = 0; row < 2; ++row) {
    EXPECT_FALSE(proc.Step([] { throw Failure(3265, "Item not found.", "DAO.Fields"); }));
  }
  EXPECT_FALSE(proc.Step([] { throw std::runtime_error("boom"); }));
  EXPECT_THROW(proc.Step([] { failures::Overflow(); }), platform::ProgramEnded);
  EXPECT_EQ(h.ui.exit_code, exit_status::kEndedOnFailure);
  EXPECT_EQ(h.ui.shown.size(), 3u);
  EXPECT_EQ(h.ErrorLog(),
            "Fehler in Zantel / DAO.Fields / P (Nr. 3265) :Item not found.\r\n"
            "Fehler in Zantel / Zantel_Config / P (Nr. 51) :Internal error: boom\r\n"
            "Fehler in Zantel / Zantel_Config / P (Nr. 6) :Overflow\r\n"
            "Fehler in Zantel / DAO.Fields / P (Nr. 3265) :Item not found. (1 more times)\r\n");
}

}  // namespace
}  // namespace zc
