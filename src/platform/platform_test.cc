// The operating system as the program sees it, and its Windows-1252 texts.
// Where the platforms' rules differ, a case holds each one's expectation.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ansi_text.h"
#include "support/temp_project.h"
#ifdef _WIN32
#include "platform/win32_process.h"
#include "support/file_attributes.h"
#else
#include <unistd.h>
#endif

namespace zc::platform {
namespace {

namespace fs = std::filesystem;
using testing::AtRoot;
using testing::OnPlatform;
using testing::PathOf;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

constexpr std::int64_t kHour = 3600LL * 1000000000;

std::string In(const TempDir& dir, const char* name) { return dir.path() + Separator() + name; }

TEST(AnsiTextTest, ConvertsToWindows1252AndBack) {
  const std::pair<const char*, const char*> cases[] = {
      {"ÄÖÜß€", "\xC4\xD6\xDC\xDF\x80"},
      {"a\u4E2Db", "a?b"},  // no Windows-1252 form
      {"x\xFFy", "x?y"},    // broken UTF-8
      {"\xC3", "?"},        // cut sequence
      {"\xC1\xB7", "?"},    // overlong form
  };
  for (auto [utf8, ansi] : cases) EXPECT_EQ(ToAnsi(utf8), ansi) << utf8;
  EXPECT_EQ(FromAnsi("\xC4\xD6\xDC\xDF\x80"), "ÄÖÜß€");
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(ToAnsi(FromAnsi(all)), all);
}

TEST(AnsiTextTest, UpperCaseFollowsTheCodePage) {
  const std::pair<const char*, const char*> cases[] = {
      {"abc", "ABC"}, {"straße", "STRAßE"}, {"äöüéÿ", "ÄÖÜÉŸ"},
      {"šœž", "ŠŒŽ"}, {"÷µ", "÷µ"},         {"m1 /x", "M1 /X"},
  };
  for (auto [text, upper] : cases) EXPECT_EQ(UpperCase(text), upper) << text;
  // Overlong forms and codes past U+10FFFF keep their bytes: decoded, they
  // would be written back shorter, and positions found in an upper-cased
  // text would shift.
  for (const char* broken :
       {"\xC1\xB7", "\xE0\x81\xA1", "\xF0\x80\x81\xA1", "\xF4\x90\x80\x80", "\xF8\x80\x80\x80"}) {
    EXPECT_EQ(UpperCase(std::string("x") + broken + "w"), std::string("X") + broken + "W");
    EXPECT_EQ(CompareIgnoringCase(std::string("x") + broken, std::string("X") + broken), 0);
  }
}

// The order of the database's text collation: a B-tree index relies on it.
TEST(AnsiTextTest, TextsCompareAsTheirUpperCasedFormsOrder) {
  const std::tuple<const char*, const char*, int> cases[] = {
      {"var_1", "VAR_1", 0}, {"a", "B", -1},       {"ab", "a", 1},
      {"äpfel", "ÄPFEL", 0}, {"Zug", "äpfel", -1}, {"x_\xC3", "X_\xC3", 0}};
  for (auto [a, b, order] : cases) EXPECT_EQ(CompareIgnoringCase(a, b), order) << a << " " << b;
}

// Where a placeholder stands, as positions in the upper-cased text.
TEST(AnsiTextTest, FindIgnoringCaseFindsTheFirstPlaceInEitherCase) {
  const size_t npos = std::string_view::npos;
  const std::tuple<const char*, const char*, size_t> cases[] = {
      {"###machine.###Var_Name", "###var_name", 11}, {"Var_1 of ###MACHINE", "###machine", 9},
      {"aab", "AB", 1},          {"ab", "abc", npos}, {"abc", "", 0},
      {"##x##", "#X", 1},        {"x.VAR", "var", 2}, {"straße ÄPFEL", "äpfel", 8},
      {"Zug_", "ZUG_X", npos},   {"a_b", "A-B", npos}};
  for (auto [text, search, at] : cases) EXPECT_EQ(FindIgnoringCase(text, search), at) << text;
}

TEST(PathRulesTest, NameFolderAndParentFolderOfAProgram) {
  struct Case {
    std::string path, name, folder, parent_of_folder;
  } cases[] = {
      {AtRoot("Zantel_Config"), "Zantel_Config", AtRoot(""), OnPlatform("", "D:")},
      {"Zantel_Config", "Zantel_Config", "", ""},
      // The other platform's separator is part of a name.
      {"x\\y/Zantel_Config", OnPlatform("Zantel_Config", "y/Zantel_Config"),
       OnPlatform("x\\y", "x"), ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileNameWithoutExtension(c.path), c.name) << c.path;
    EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(ParentFolderByRule(FolderOf(c.path)), c.parent_of_folder) << c.path;
  }
}

#ifdef _WIN32
// The process's own texts as Windows hands them over, in UTF-16: the command
// line, the environment block (whose first entries are the shell's folders
// per drive, no variables) and the variable that moves the service-pack log.
TEST(ProcessTest, WindowsTextsOfTheProcess) {
  const std::pair<const wchar_t*, const char*> lines[] = {
      {L"\"C:\\Program Files\\Zantel_Config.exe\"  /LOGFILE=\"C:\\a b\\x.txt\" ",
       "/LOGFILE=\"C:\\a b\\x.txt\" "},
      {L"D:\\Plant\\Bin\\Zantel_Config.exe\t/external=Silent", "/external=Silent"},
      {L"Zantel_Config /LOGFILE=D:\\St\u00f6rung.txt", "/LOGFILE=D:\\St\xC3\xB6rung.txt"}};
  for (auto [line, arguments] : lines) EXPECT_EQ(win32::ArgumentText(line), arguments);
  EXPECT_EQ(win32::FirstVariable(L"=C:=C:\\Plant\0=ExitCode=00000000\0USERNAME=ab-c_d\0X=1\0"),
            "USERNAME=ab-c_d");
  EXPECT_EQ(win32::FirstVariable(L"=C:=C:\\\0"), "");
  const std::string kept = DefaultServicePackLogPath();
  _wputenv_s(L"TOLVA_SERVICEPACK_LOG", L"");  // removes the variable
  EXPECT_EQ(DefaultServicePackLogPath(), "C:\\TolvaServicePack.log");
  _wputenv_s(L"TOLVA_SERVICEPACK_LOG", L"D:\\Logs\\St\u00f6rung.log");
  EXPECT_EQ(CurrentProcess(0, nullptr).service_pack_log_path, "D:\\Logs\\St\xC3\xB6rung.log");
  _wputenv_s(L"TOLVA_SERVICEPACK_LOG",
             kept == "C:\\TolvaServicePack.log" ? L"" : PathOf(kept).c_str());
}
#endif

TEST(FileExistsTest, OnlyVisibleOrdinaryFilesCount) {
  TempDir dir;
  for (const char* name : {"plain.ini",
                           "Gr\xC3\xB6\xC3\x9F"
                           "e.ini",
                           "readonly.ini", ".dot.ini", "hidden.ini", "system.ini"}) {
    WriteFile(In(dir, name), "x");
  }
  fs::permissions(PathOf(In(dir, "readonly.ini")), fs::perms::owner_read);
  fs::create_directories(PathOf(In(dir, "folder")));
#ifdef _WIN32
  ASSERT_TRUE(AddAttribute(In(dir, "hidden.ini"), testing::Attribute::kHidden));
  ASSERT_TRUE(AddAttribute(In(dir, "system.ini"), testing::Attribute::kSystem));
#else
  ASSERT_EQ(::symlink(In(dir, "plain.ini").c_str(), In(dir, "link.ini").c_str()), 0);
#endif
  const std::tuple<const char*, bool, bool> cases[] = {
      // name, exists on POSIX, on Windows
      {"plain.ini", true, true},
      {"Gr\xC3\xB6\xC3\x9F"
       "e.ini",
       true, true},
      {"readonly.ini", true, true},
      {".dot.ini", false, !testing::UnderWine()},  // a leading dot hides on POSIX, under wine too
      {"hidden.ini", true, false},
      {"system.ini", true, false},
      {"link.ini", true, false},  // a link to a file counts; made on POSIX only
      {"folder", false, false},
      {"PLAIN.INI", false, true},  // Windows names ignore letter case
  };
  for (auto [name, on_posix, on_windows] : cases) {
    EXPECT_EQ(FileExists(In(dir, name)), OnPlatform(on_posix, on_windows)) << name;
  }
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(PathExists(In(dir, "hidden.ini")));
  EXPECT_TRUE(IsFolder(dir.path()));
}

// A replaced file keeps what marks it as the one it was: on Windows its
// attributes and creation time.
TEST(FileWriteTest, AReplacedFileKeepsItsMarksAndNoTemporaryFileStays) {
  TempDir dir;
  const std::string target = In(dir, "target.mdb");
  WriteFile(In(dir, "new.mdb"), "new content");
  WriteFile(target, "old");
  WriteFile(In(dir, ".target.mdb.tmp1f2e"), "left by a killed run");
  WriteFile(In(dir, ".target.mdb.x"), "someone else's");
#ifdef _WIN32
  ASSERT_TRUE(AddAttribute(target, testing::Attribute::kHidden));
  FileTimes times = *GetFileTimes(target);
  times.creation -= 48 * kHour;
  ASSERT_TRUE(SetFileTimes(target, times));
#endif
  EXPECT_EQ(ReplaceFileWithCopy(In(dir, "new.mdb"), target), "");
  EXPECT_EQ(ReadFile(target), "new content");
  EXPECT_NE(ReplaceFileWithCopy(In(dir, "missing.mdb"), target), "");
  EXPECT_EQ(ReadFile(target), "new content");
  std::set<std::string> names;
  for (auto& entry : fs::directory_iterator(PathOf(dir.path()))) {
    names.insert(testing::Utf8Of(entry.path().filename()));
  }
  EXPECT_EQ(names, (std::set<std::string>{".target.mdb.x", "new.mdb", "target.mdb"}));
#ifdef _WIN32
  EXPECT_TRUE(HasAttribute(target, testing::Attribute::kHidden));
  if (testing::UnderWine()) GTEST_SKIP() << "wine cannot set a creation time";
  EXPECT_EQ(GetFileTimes(target)->creation, times.creation);
#endif
}

TEST(FileTimesTest, TimesComeBackWhereThePlatformKeepsThem) {
  TempDir dir;
  std::string path = In(dir, "source.mdb");
  WriteFile(path, "a");
  std::optional<FileTimes> before = GetFileTimes(path);
  ASSERT_TRUE(before);
  EXPECT_EQ(before->creation != 0, testing::kOnWindows);
  FileTimes earlier{before->creation ? before->creation - 48 * kHour : 0,
                    before->last_write - kHour};
  ASSERT_TRUE(SetFileTimes(path, earlier));
  EXPECT_FALSE(SetFileTimes(In(dir, "missing.mdb"), earlier));
  EXPECT_FALSE(GetFileTimes(In(dir, "missing.mdb")));
  EXPECT_EQ(GetFileTimes(path)->last_write, earlier.last_write);
  if (testing::UnderWine()) GTEST_SKIP() << "wine cannot set a creation time";
  EXPECT_EQ(GetFileTimes(path)->creation, earlier.creation);
}

}  // namespace
}  // namespace zc::platform
