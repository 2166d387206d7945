// POSIX rules: "/" separates folders, the root is "", a leading "." hides.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "support/temp_project.h"

namespace zc::platform {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(PathRulesTest, Table) {
  struct Case {
    const char* path;
    const char* name;
    const char* folder;
    const char* parent_of_folder;
  } cases[] = {
      {"/plant/Bin/Zantel_Config", "Zantel_Config", "/plant/Bin", "/plant"},
      {"/plant/Bin/Zantel_Config.exe", "Zantel_Config.exe", "/plant/Bin", "/plant"},
      {"/Bin/Zantel_Config", "Zantel_Config", "/Bin", ""},
      {"/Zantel_Config", "Zantel_Config", "/", ""},
      {"Zantel_Config", "Zantel_Config", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileNameWithoutExtension(c.path), c.name) << c.path;
    EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(ParentFolderByRule(FolderOf(c.path)), c.parent_of_folder) << c.path;
  }
}

TEST(FileExistsTest, OnlyVisibleOrdinaryFilesCount) {
  TempDir dir;
  WriteFile(dir.path() + "/plain.ini", "x");
  WriteFile(dir.path() + "/.hidden.ini", "x");
  ASSERT_EQ(::symlink((dir.path() + "/plain.ini").c_str(), (dir.path() + "/link.ini").c_str()), 0);
  ::mkdir((dir.path() + "/folder").c_str(), 0755);
  EXPECT_TRUE(FileExists(dir.path() + "/plain.ini"));
  EXPECT_TRUE(FileExists(dir.path() + "/link.ini"));
  EXPECT_FALSE(FileExists(dir.path() + "/.hidden.ini"));
  EXPECT_FALSE(FileExists(dir.path() + "/folder"));
  EXPECT_FALSE(FileExists(dir.path() + "/missing.ini"));
  EXPECT_FALSE(FileExists(""));
}

}  // namespace
}  // namespace zc::platform
