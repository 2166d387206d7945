// Windows rules: "\" separates folders, drives have roots, files have
// attributes and a creation time, and the process's texts come as UTF-16.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/platform.h"
#include "platform/version.h"
#include "platform/win32_process.h"
#include "support/file_attributes.h"
#include "support/temp_project.h"

namespace zc::platform {
namespace {

using testing::AddAttribute;
using testing::Attribute;
using testing::HasAttribute;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

constexpr std::int64_t kHour = 3600LL * 1000000000;

std::string In(const TempDir& dir, const char* name) { return dir.path() + "\\" + name; }

TEST(WindowsPathRulesTest, DrivesAndBackslashes) {
  struct Case {
    const char* path;
    const char* name;
    const char* folder;
    const char* parent_of_folder;
  } cases[] = {
      {"D:\\Plant\\Bin\\Zantel_Config.exe", "Zantel_Config", "D:\\Plant\\Bin", "D:\\Plant"},
      {"D:\\Cfg\\Zantel_Config.exe", "Zantel_Config", "D:\\Cfg", "D:"},
      {"C:\\Zantel_Config.exe", "Zantel_Config", "C:\\", "C:"},
      {"D:\\Plant/Bin\\Zantel_Config.exe", "Zantel_Config", "D:\\Plant/Bin", "D:"},  // "/" is text
      {"Zantel_Config.exe", "Zantel_Config", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileNameWithoutExtension(c.path), c.name) << c.path;
    EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(ParentFolderByRule(FolderOf(c.path)), c.parent_of_folder) << c.path;
  }
}

TEST(WindowsProcessTest, ArgumentTextLeavesOutTheProgramsOwnPath) {
  struct Case {
    const wchar_t* command_line;
    const char* arguments;
  } cases[] = {
      {L"\"D:\\Plant\\Bin\\Zantel_Config.exe\" /EXTERNAL=R7QCFG", "/EXTERNAL=R7QCFG"},
      {L"\"C:\\Program Files\\Zantel_Config.exe\"  /LOGFILE=\"C:\\a b\\x.txt\" ",
       "/LOGFILE=\"C:\\a b\\x.txt\" "},
      {L"D:\\Plant\\Bin\\Zantel_Config.exe\t/external=Silent", "/external=Silent"},
      {L"Zantel_Config", ""},
      {L"\"D:\\Plant\\Bin\\Zantel_Config.exe\"", ""},
      {L"", ""},
      {L"Zantel_Config /LOGFILE=D:\\St\u00f6rung.txt", "/LOGFILE=D:\\St\xC3\xB6rung.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(win32::ArgumentText(c.command_line), c.arguments);
}

TEST(WindowsProcessTest, FirstVariableSkipsTheShellsDriveFolders) {
  EXPECT_EQ(win32::FirstVariable(L"=C:=C:\\Plant\0=ExitCode=00000000\0USERNAME=ab-c_d\0X=1\0"),
            "USERNAME=ab-c_d");
  EXPECT_EQ(win32::FirstVariable(L"ALLUSERSPROFILE=C:\\ProgramData\0"),
            "ALLUSERSPROFILE=C:\\ProgramData");
  EXPECT_EQ(win32::FirstVariable(L"=C:=C:\\\0"), "");
  EXPECT_EQ(win32::FirstVariable(L"\0"), "");
}

TEST(WindowsProcessTest, CurrentProcessNamesTheRunningProgram) {
  ProcessFacts facts = CurrentProcess(0, nullptr);
  EXPECT_EQ(FileNameWithoutExtension(facts.executable_path), "platform_test");
  EXPECT_EQ(facts.executable_path.substr(1, 2), ":\\") << facts.executable_path;
  EXPECT_TRUE(FileExists(facts.executable_path));
  EXPECT_EQ(facts.command_line.find("platform_test"), std::string::npos) << facts.command_line;
  EXPECT_NE(facts.first_environment_entry.find('='), std::string::npos);
  EXPECT_NE(facts.first_environment_entry.front(), '=');
  EXPECT_EQ(facts.version.major, kVersionMajor);
}

TEST(WindowsProcessTest, ServicePackLogIsOnDriveCUnlessMoved) {
  std::string kept = DefaultServicePackLogPath();
  _wputenv_s(L"TOLVA_SERVICEPACK_LOG", L"");  // removes the variable
  EXPECT_EQ(DefaultServicePackLogPath(), "C:\\TolvaServicePack.log");
  _wputenv_s(L"TOLVA_SERVICEPACK_LOG", L"D:\\Logs\\St\u00f6rung.log");
  EXPECT_EQ(DefaultServicePackLogPath(), "D:\\Logs\\St\xC3\xB6rung.log");
  EXPECT_EQ(CurrentProcess(0, nullptr).service_pack_log_path, "D:\\Logs\\St\xC3\xB6rung.log");
  _wputenv_s(L"TOLVA_SERVICEPACK_LOG",
             kept == "C:\\TolvaServicePack.log" ? L"" : testing::PathOf(kept).c_str());
}

TEST(WindowsFileExistsTest, HiddenAndSystemFilesCountAsMissing) {
  TempDir dir;
  for (const char* name : {"plain.ini", "hidden.ini", "system.ini", "readonly.ini",
                           "Gr\xC3\xB6\xC3\x9F"
                           "e.ini"}) {
    WriteFile(In(dir, name), "x");
  }
  ASSERT_TRUE(AddAttribute(In(dir, "hidden.ini"), Attribute::kHidden));
  ASSERT_TRUE(AddAttribute(In(dir, "system.ini"), Attribute::kSystem));
  ASSERT_TRUE(AddAttribute(In(dir, "readonly.ini"), Attribute::kReadOnly));
  EXPECT_TRUE(FileExists(In(dir, "plain.ini")));
  EXPECT_TRUE(FileExists(In(dir, "PLAIN.INI")));  // names ignore letter case
  EXPECT_TRUE(FileExists(In(dir, "readonly.ini")));
  EXPECT_TRUE(FileExists(In(dir,
                            "Gr\xC3\xB6\xC3\x9F"
                            "e.ini")));
  EXPECT_FALSE(FileExists(In(dir, "hidden.ini")));
  EXPECT_FALSE(FileExists(In(dir, "system.ini")));
  EXPECT_FALSE(FileExists(In(dir, "*.ini")));  // no wildcard search
  EXPECT_FALSE(FileExists(dir.path()));
  EXPECT_FALSE(FileExists(In(dir, "missing.ini")));
  EXPECT_TRUE(PathExists(In(dir, "hidden.ini")));
  EXPECT_TRUE(IsFolder(dir.path()));
}

TEST(WindowsFileTimesTest, CreationAndLastWriteTimesComeBack) {
  TempDir dir;
  std::string path = In(dir, "Zantel_Source.mdb");
  WriteFile(path, "a");
  std::optional<FileTimes> before = GetFileTimes(path);
  ASSERT_TRUE(before);
  EXPECT_NE(before->creation, 0);
  FileTimes earlier{before->creation - 48 * kHour, before->last_write - kHour};
  ASSERT_TRUE(SetFileTimes(path, earlier));
  EXPECT_FALSE(SetFileTimes(In(dir, "missing.mdb"), earlier));
  std::optional<FileTimes> after = GetFileTimes(path);
  EXPECT_EQ(after->last_write, earlier.last_write);
  if (testing::UnderWine()) GTEST_SKIP() << "wine cannot set a creation time";
  EXPECT_EQ(after->creation, earlier.creation);
}

TEST(WindowsFileWriteTest, ReplacingKeepsTheTargetsAttributesAndCreationTime) {
  TempDir dir;
  std::string cfg = In(dir, "Zantel.cfg");
  WriteFile(cfg, "[Info]\r\n");
  ASSERT_TRUE(AddAttribute(cfg, Attribute::kHidden));
  FileTimes times = *GetFileTimes(cfg);
  times.creation -= 48 * kHour;
  ASSERT_TRUE(SetFileTimes(cfg, times));
  EXPECT_EQ(WriteWholeFile(cfg, "[Info]\r\nS_Prog=1\r\n"), "");
  EXPECT_EQ(ReadFile(cfg), "[Info]\r\nS_Prog=1\r\n");
  EXPECT_TRUE(HasAttribute(cfg, Attribute::kHidden));
  // The database copy replaces a file that exists, through the same move.
  WriteFile(In(dir, "Zantel_Source.mdb"), "source");
  EXPECT_EQ(ReplaceFileWithCopy(In(dir, "Zantel_Source.mdb"), cfg), "");
  EXPECT_EQ(ReadFile(cfg), "source");
  if (testing::UnderWine()) GTEST_SKIP() << "wine cannot set a creation time";
  EXPECT_EQ(GetFileTimes(cfg)->creation, times.creation);
}

TEST(WindowsFileWriteTest, TheReadOnlyAttributeRefusesWriting) {
  TempDir dir;
  std::string cfg = In(dir, "Zantel.cfg");
  WriteFile(cfg, "keep");
  ASSERT_TRUE(AddAttribute(cfg, Attribute::kReadOnly));
  EXPECT_NE(WriteWholeFile(cfg, "lost"), "");
  EXPECT_EQ(ReadFile(cfg), "keep");
  testing::ClearAttributes(cfg);
}

}  // namespace
}  // namespace zc::platform
