// Temporary project trees for tests: a project folder with the program placed
// in a folder of its own, a scripted user interface and a run over them.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "support/scripted_ui.h"

namespace zc::testing {

#ifdef _WIN32
inline constexpr bool kOnWindows = true;
#else
inline constexpr bool kOnWindows = false;
#endif
// What a rule that differs between the platforms gives on this one.
template <typename T>
T OnPlatform(T posix, T windows) {
  return kOnWindows ? windows : posix;
}
// Wine keeps no creation times of its own: tests of kept ones need Windows.
bool UnderWine();

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The platform's separator in place of every "/" of `relative`.
std::string Native(std::string_view relative);
// A path in the root of the file system: "/<relative>" on POSIX, a drive's root
// "D:\<relative>" on Windows. For path rules only; nothing is written there.
std::string AtRoot(std::string_view relative);
// File-system paths from and to the program's UTF-8 texts (Windows would
// otherwise take narrow texts in the ANSI code page).
std::filesystem::path PathOf(const std::string& utf8);
std::string Utf8Of(const std::filesystem::path& path);

// Writes a file (creating its folders); `content` is stored as given.
void WriteFile(const std::string& path, std::string_view content);
// Reads a whole file; "" when it does not exist.
std::string ReadFile(const std::string& path);

// Every file under `root` with its bytes and its last write time, by path
// relative to `root`, leaving out files named in `ignored`.
std::map<std::string, std::string> TreeState(const std::string& root,
                                             const std::set<std::string>& ignored = {});

// Process facts of a program at `executable_path`.
platform::ProcessFacts FactsFor(const std::string& executable_path, const std::string& command_line,
                                const std::string& service_pack_log);

// A project folder with the program at <project>/Bin/<executable>.
template <typename RunType>
class Harness {
 public:
  explicit Harness(const std::string& command_line = "",
                   const std::string& executable = "Zantel_Config")
      : run(FactsFor(Path("Bin/" + executable), command_line, Path("TolvaServicePack.log")), ui) {}

  // A path inside the project folder; "/" separates folders in `relative`.
  std::string Path(std::string_view relative) const {
    return dir.path() + platform::Separator() + Native(relative);
  }
  std::string ServicePackLog() const { return ReadFile(run.process.service_pack_log_path); }
  std::string ErrorLog() const { return ReadFile(Path("R7Qcfglog.txt")); }

  TempDir dir;
  platform::ScriptedUi ui;
  RunType run;
};

}  // namespace zc::testing
