#include "errors/start_up.h"

#include <gtest/gtest.h>

#include "errors/command_text.h"
#include "errors/failure.h"
#include "support/temp_project.h"

namespace zc {
namespace {

using platform::Answer;
using testing::Harness;

const bool kOnWindows = platform::Separator() == '\\';

TEST(CommandValueTest, Table) {
  struct Case {
    const char* line;
    std::string_view key;
    const char* value;
    const char* on_windows = nullptr;  // where Windows differs
  } cases[] = {
      // Letter case and "/" inside values follow the platform: see the
      // command_line_*_test files.
      {"/EXTERNAL=R7QCFG /LOGFILE=/proj/log.txt", kKeyExternal, "R7QCFG"},
      {"", kKeyExternal, ""},
      {"/EXTERNAL R7QCFG", kKeyExternal, "R7QCFG"},
      {"/EXTERNAL==R7QCFG", kKeyExternal, "=R7QCFG"},
      {"/EXTERNAL=  R7QCFG  /OTHER", kKeyExternal, "R7QCFG"},
      {"/EXTERNAL=", kKeyExternal, ""},
      // A plain substring search: the key may sit inside a longer word.
      {"/MYEXTERNAL:R7QCFG", kKeyExternal, "R7QCFG"},
      // Broken UTF-8 before the key must not shift where its value starts.
      {"\xC1\xB7\xC1\xB7 /LOGFILE=X.TXT", kKeyLogfile, "X.TXT"},
      // A key's name inside an earlier key's value (a POSIX path) is no key;
      // on Windows it is, and the backslash after it is the separator.
      {"/LOGFILE=/mnt/External/x.txt /EXTERNAL=R7QCFG", kKeyExternal, "R7QCFG", "X.TXT"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CommandValue(c.line, c.key), kOnWindows && c.on_windows ? c.on_windows : c.value)
        << c.line;
  }
}

TEST(CommandValueTest, KeyAtTheVeryEndIsAnInvalidArgument) {
  try {
    CommandValue("/EXTERNAL", kKeyExternal);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.number, 5);
  }
}

TEST(StartModeTest, Table) {
  struct Case {
    const char* line;
    bool integrated, silent;
  } cases[] = {
      {"/EXTERNAL=R7QCFG /LOGFILE=/p/log.txt", true, false},
      {"/external=Silent", false, true},
      {"", false, false},
      {"/EXTERNAL R7QCFG", true, false},
      {"/EXTERNAL==R7QCFG", false, false},
      {"/EXTERNAL=standalone", false, false},
  };
  for (const Case& c : cases) {
    Harness<zc::Run> h(c.line);
    EXPECT_EQ(GetStartModeIntegrated(h.run), c.integrated) << c.line;
    EXPECT_EQ(h.run.IntegratedMode, c.integrated) << c.line;
    EXPECT_EQ(h.run.SilentMode, c.silent) << c.line;
    EXPECT_TRUE(h.ui.shown.empty()) << c.line;
  }
}

TEST(StartModeTest, KeyAtTheEndIsReportedThenTheStartIsStandalone) {
  Harness<zc::Run> h("/LOGFILE=/x.txt /EXTERNAL");
  h.ui.Script({Answer::kYes});
  EXPECT_FALSE(GetStartModeIntegrated(h.run));
  EXPECT_FALSE(h.run.IntegratedMode || h.run.SilentMode);
  ASSERT_EQ(h.ui.shown.size(), 1u);
  EXPECT_EQ(h.ErrorLog(),
            "Fehler in Zantel / Zantel_Config / ReadCommand (Nr. 5) :Invalid procedure call or "
            "argument\r\n");
}

TEST(OcxNameTest, DropsTheLastSevenCharactersOfTheProgramNameOnly) {
  struct Case {
    const char* program;
    const char* component;
    const char* on_windows;  // only ".exe" is no part of a Windows program's name
  } cases[] = {
      {"Zantel_Config", "Zantel", "Zantel"},      {"Config7", "", ""},
      {"Zan.tel_Config", "Zan.tel", "Zan.tel"},   {"Zantel_Config.exe", "Zantel_Con", "Zantel"},
      {"Alpha_Config.EXE", "Alpha_Con", "Alpha"},
  };
  for (const Case& c : cases) {
    Harness<zc::Run> h("", c.program);
    EXPECT_EQ(GetOCXName(h.run), kOnWindows ? c.on_windows : c.component) << c.program;
  }
}

TEST(OcxNameTest, AShortNameIsReportedOnceWithoutRecursion) {
  Harness<zc::Run> h("", "Short");
  h.ui.Script({Answer::kYes});
  EXPECT_EQ(GetOCXName(h.run), "");
  ASSERT_EQ(h.ui.shown.size(), 1u);
  EXPECT_EQ(h.ErrorLog(),
            "Fehler in  / Short / GetOCXName (Nr. 5) :Invalid procedure call or argument\r\n");
}

}  // namespace
}  // namespace zc
