// Windows command-line values: every "/" ends a value and every value comes
// back in upper case, file paths too; the logs go where those values say.
#include <gtest/gtest.h>

#include "errors/command_text.h"
#include "errors/logs.h"
#include "errors/start_up.h"
#include "platform/ansi_text.h"
#include "support/temp_project.h"

namespace zc {
namespace {

using testing::FactsFor;
using testing::Harness;
using testing::ReadFile;

TEST(CommandValueWindowsTest, ValuesAreUpperCaseAndEndAtAnySlash) {
  struct Case {
    const char* line;
    std::string_view key;
    const char* value;
  } cases[] = {
      {"/EXTERNAL=R7QCFG /LOGFILE=C:\\Proj\\log.txt", kKeyLogfile, "C:\\PROJ\\LOG.TXT"},
      {"/EXTERNAL=R7QCFG /LOGFILE=C:\\Proj\\log.txt", kKeyExternal, "R7QCFG"},
      {"/external=Silent", kKeyExternal, "SILENT"},
      // EXTERNAL is found inside the path first; the backslash after it is
      // taken for the separator.
      {"/LOGFILE=D:\\External\\x.txt /EXTERNAL=R7QCFG", kKeyExternal, "X.TXT"},
      {"/LOGFILE=D:\\External\\x.txt /EXTERNAL=R7QCFG", kKeyLogfile, "D:\\EXTERNAL\\X.TXT"},
      {"/LOGFILE=C:\\Proj/log.txt", kKeyLogfile, "C:\\PROJ"},
      {"/LOGFILE=  d:\\a b\\stra\xC3\x9F"
       "e.txt  ",
       kKeyLogfile,
       "D:\\A B\\STRA\xC3\x9F"
       "E.TXT"},
      {"/LOGFILE=c:\\\xC3\xA9t\xC3\xA9.txt", kKeyLogfile, "C:\\\xC3\x89T\xC3\x89.TXT"},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandValue(c.line, c.key), c.value) << c.line;
}

TEST(CommandValueWindowsTest, StartModes) {
  struct Case {
    const char* line;
    bool integrated, silent;
    const char* logfile;
  } cases[] = {
      {"/EXTERNAL=R7QCFG /LOGFILE=C:\\Proj\\log.txt", true, false, "C:\\PROJ\\LOG.TXT"},
      {"/external=Silent", false, true, ""},
      {"/LOGFILE=D:\\External\\x.txt /EXTERNAL=R7QCFG", false, false, "D:\\EXTERNAL\\X.TXT"},
  };
  for (const Case& c : cases) {
    Harness<zc::Run> h(c.line);
    EXPECT_EQ(GetStartModeIntegrated(h.run), c.integrated) << c.line;
    EXPECT_EQ(h.run.SilentMode, c.silent) << c.line;
    EXPECT_EQ(LogfileOf(c.line), c.logfile) << c.line;
  }
}

TEST(ErrorLogWindowsTest, StandaloneLogLiesInTheProjectFolderOnAnyDrive) {
  platform::ScriptedUi ui;
  zc::Run in_bin(FactsFor("D:\\Proj\\Bin\\Zantel_Config.exe", "", ""), ui);
  EXPECT_EQ(ErrorLogPath(in_bin), "D:\\Proj\\R7Qcfglog.txt");
  zc::Run at_root(FactsFor("C:\\Zantel_Config.exe", "", ""), ui);
  EXPECT_EQ(ErrorLogPath(at_root), "C:\\R7Qcfglog.txt");
}

TEST(ErrorLogWindowsTest, IntegratedLogIsTheUpperCasedLogfileValue) {
  Harness<zc::Run> h;
  std::string named = h.Path("Logs/Cfg.txt");
  testing::WriteFile(named, "earlier\r\n");
  h.run.process.command_line = "/EXTERNAL=R7QCFG /LOGFILE=" + named;
  ASSERT_TRUE(GetStartModeIntegrated(h.run));
  EXPECT_EQ(WriteErrorLog(h.run, "line"), "Error logged to \n\r" + platform::UpperCase(named));
  // The upper-cased path names the same file.
  EXPECT_EQ(ReadFile(named), "earlier\r\nline\r\n");
  EXPECT_EQ(h.ErrorLog(), "");
}

TEST(ErrorLogWindowsTest, ALogfilePathIsCutAtItsFirstSlash) {
  Harness<zc::Run> h;
  h.run.process.command_line = "/EXTERNAL=R7QCFG /LOGFILE=" + h.Path("cfg.txt") + "/old/x.txt";
  ASSERT_TRUE(GetStartModeIntegrated(h.run));
  WriteErrorLog(h.run, "line");
  EXPECT_EQ(ReadFile(h.Path("cfg.txt")), "line\r\n");
}

}  // namespace
}  // namespace zc
