// POSIX command-line values: "/" separates folders, so a value runs to the
// next key (a "/" after a blank) and keeps its letter case.
#include <gtest/gtest.h>

#include "errors/command_text.h"

namespace zc {
namespace {

TEST(CommandValuePosixTest, PathsKeepTheirFoldersAndLetterCase) {
  struct Case {
    const char* line;
    std::string_view key;
    const char* value;
  } cases[] = {
      {"/EXTERNAL=R7QCFG /LOGFILE=/proj/log.txt", kKeyLogfile, "/proj/log.txt"},
      {"/external=Silent", kKeyExternal, "Silent"},
      {"/LOGFILE=/var/log/Cfg.txt /EXTERNAL=R7QCFG", kKeyLogfile, "/var/log/Cfg.txt"},
      {"/EXTERNAL=silent /LOGFILE=/var/log/cfg.txt", kKeyExternal, "silent"},
      {"/LOGFILE=  /var/log/a b.txt", kKeyLogfile, "/var/log/a b.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandValue(c.line, c.key), c.value) << c.line;
}

}  // namespace
}  // namespace zc
