#include "platform/platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_project.h"

namespace zc::platform {
namespace {

using testing::ReadFile;
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
      {"/plant/Bin/Zantel_Config.exe", "Zantel_Config", "/plant/Bin", "/plant"},
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

TEST(FileWriteTest, ReplaceWithCopyOverwritesAndLeavesNoTemporaryFile) {
  TempDir dir;
  WriteFile(dir.path() + "/new.mdb", "new content");
  WriteFile(dir.path() + "/target.mdb", "old");
  EXPECT_EQ(ReplaceFileWithCopy(dir.path() + "/new.mdb", dir.path() + "/target.mdb"), "");
  EXPECT_EQ(ReadFile(dir.path() + "/target.mdb"), "new content");
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.exists();
  EXPECT_EQ(entries, 2);
  EXPECT_NE(ReplaceFileWithCopy(dir.path() + "/missing.mdb", dir.path() + "/target.mdb"), "");
  EXPECT_EQ(ReadFile(dir.path() + "/target.mdb"), "new content");
}

TEST(FileWriteTest, TemporaryFilesOfAnInterruptedWriteAreCleanedUp) {
  TempDir dir;
  WriteFile(dir.path() + "/.a.mdb.tmp1f2e", "left by a killed run");
  WriteFile(dir.path() + "/.a.mdb.x", "someone else's");
  EXPECT_EQ(WriteWholeFile(dir.path() + "/a.mdb", "new"), "");
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/.a.mdb.tmp1f2e"));
  EXPECT_TRUE(std::filesystem::exists(dir.path() + "/.a.mdb.x"));
}

TEST(FileWriteTest, WholeFileWriteHonoursReadOnlyFiles) {
  TempDir dir;
  std::string path = dir.path() + "/a.cfg";
  WriteFile(path, "keep");
  ::chmod(path.c_str(), 0444);
  EXPECT_NE(WriteWholeFile(path, "lost"), "");
  EXPECT_EQ(ReadFile(path), "keep");
  ::chmod(path.c_str(), 0644);
  EXPECT_EQ(WriteWholeFile(path, "changed"), "");
  EXPECT_EQ(ReadFile(path), "changed");
}

TEST(FileTimesTest, LastWriteTimeComesBack) {
  TempDir dir;
  std::string path = dir.path() + "/source.mdb";
  WriteFile(path, "a");
  auto before = GetFileTimes(path);
  ASSERT_TRUE(before);
  FileTimes earlier = *before;
  earlier.last_write -= 3600LL * 1000000000;
  ASSERT_TRUE(SetFileTimes(path, earlier));
  EXPECT_EQ(GetFileTimes(path)->last_write, earlier.last_write);
}

}  // namespace
}  // namespace zc::platform
