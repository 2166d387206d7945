#include "platform/platform.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_project.h"

namespace zc::platform {
namespace {

using testing::PathOf;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

std::string In(const TempDir& dir, const char* name) { return dir.path() + Separator() + name; }

TEST(FileWriteTest, ReplaceWithCopyOverwritesAndLeavesNoTemporaryFile) {
  TempDir dir;
  WriteFile(In(dir, "new.mdb"), "new content");
  WriteFile(In(dir, "target.mdb"), "old");
  EXPECT_EQ(ReplaceFileWithCopy(In(dir, "new.mdb"), In(dir, "target.mdb")), "");
  EXPECT_EQ(ReadFile(In(dir, "target.mdb")), "new content");
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(PathOf(dir.path()))) entries += e.exists();
  EXPECT_EQ(entries, 2);
  EXPECT_NE(ReplaceFileWithCopy(In(dir, "missing.mdb"), In(dir, "target.mdb")), "");
  EXPECT_EQ(ReadFile(In(dir, "target.mdb")), "new content");
}

TEST(FileWriteTest, TemporaryFilesOfAnInterruptedWriteAreCleanedUp) {
  TempDir dir;
  WriteFile(In(dir, ".a.mdb.tmp1f2e"), "left by a killed run");
  WriteFile(In(dir, ".a.mdb.x"), "someone else's");
  EXPECT_EQ(WriteWholeFile(In(dir, "a.mdb"), "new"), "");
  EXPECT_FALSE(std::filesystem::exists(PathOf(In(dir, ".a.mdb.tmp1f2e"))));
  EXPECT_TRUE(std::filesystem::exists(PathOf(In(dir, ".a.mdb.x"))));
}

TEST(FileWriteTest, WholeFileWriteHonoursReadOnlyFiles) {
  TempDir dir;
  std::string path = In(dir, "a.cfg");
  WriteFile(path, "keep");
  std::filesystem::permissions(PathOf(path), std::filesystem::perms::owner_read);
  EXPECT_NE(WriteWholeFile(path, "lost"), "");
  EXPECT_EQ(ReadFile(path), "keep");
  std::filesystem::permissions(PathOf(path), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  EXPECT_EQ(WriteWholeFile(path, "changed"), "");
  EXPECT_EQ(ReadFile(path), "changed");
  EXPECT_NE(WriteWholeFile(dir.path(), "x"), "");  // a folder is no file
}

TEST(FileWriteTest, AppendCreatesThenAppends) {
  TempDir dir;
  std::string path = In(dir, "R7Qcfglog.txt");
  EXPECT_EQ(AppendToFile(path, "one\r\n"), "");
  EXPECT_EQ(AppendToFile(path, "two\r\n"), "");
  EXPECT_EQ(ReadFile(path), "one\r\ntwo\r\n");
  EXPECT_EQ(ReadFileStart(path, 3), "one");
  EXPECT_EQ(ReadWholeFile(path), "one\r\ntwo\r\n");
  EXPECT_NE(AppendToFile(In(dir, "missing") + Separator() + "log.txt", "x"), "");
  EXPECT_EQ(ReadWholeFile(dir.path()), std::nullopt);
  EXPECT_EQ(ReadWholeFile(In(dir, "missing.txt")), std::nullopt);
}

TEST(FileTimesTest, LastWriteTimeComesBack) {
  TempDir dir;
  std::string path = In(dir, "source.mdb");
  WriteFile(path, "a");
  auto before = GetFileTimes(path);
  ASSERT_TRUE(before);
  FileTimes earlier = *before;
  earlier.last_write -= 3600LL * 1000000000;
  ASSERT_TRUE(SetFileTimes(path, earlier));
  EXPECT_EQ(GetFileTimes(path)->last_write, earlier.last_write);
  EXPECT_FALSE(GetFileTimes(In(dir, "missing.mdb")));
}

}  // namespace
}  // namespace zc::platform
