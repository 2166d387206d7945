// What the program needs from the operating system: its own identity, the
// folder rules, file facts and the command-line value rule. One POSIX and one
// Windows source implement this header; CMake picks one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zc::platform {

// The folder separator of the platform: every path rule of the program uses it.
char Separator();
// How the names of program files end: ".exe" on Windows, nothing on POSIX.
std::string_view ProgramExtension();

struct Version {
  int major = 0;
  int minor = 0;
  int revision = 0;
};

// Facts about the running process, captured once at start-up. Tests build
// their own to place a program anywhere.
struct ProcessFacts {
  std::string executable_path;          // full path of the program file
  std::string command_line;             // argument text without the program's own path
  std::string first_environment_entry;  // "NAME=value", empty when there is none
  Version version;
  std::string service_pack_log_path;  // where silent runs put what would be shown
};

// Reads the facts of the current process. argv[0] is not trusted for the
// executable path: the operating system's own answer is used.
ProcessFacts CurrentProcess(int argc, const char* const* argv);

// Whether standard error goes to a terminal (and so may show a progress line).
bool StandardErrorIsTerminal();

// The service-pack log of this platform (an environment variable may move it).
std::string DefaultServicePackLogPath();

// A program's name: its file name less the platform's ProgramExtension, in
// any letter case. POSIX names keep every dot ("Zan.tel_Config").
std::string FileNameWithoutExtension(std::string_view path);
// The folder that holds a file, without a trailing separator except at a root.
std::string FolderOf(std::string_view path);
// The last component of a path: what follows its last separator.
std::string FileNameOf(std::string_view path);
// `name` inside `folder`: a separator between them unless the folder already
// ends with one. An empty folder gives the root: "/name" on POSIX.
std::string JoinPath(std::string_view folder, std::string_view name);
// The parent-folder rule: drop characters from the end until the last one is a
// separator, then drop that too. "/a/b" -> "/a", "/" -> "", "C:\" -> "C:".
std::string ParentFolderByRule(std::string_view folder);

// A path as the program's messages name it: upper-cased on Windows, where
// the plant's messages always showed paths so and letter case tells no files
// apart; as it is on POSIX, where only the real name leads to the file.
std::string PathInMessage(std::string_view path);

// Turns the text after a command-line key's separator into the key's value:
// blanks stripped, cut where the next key starts, in the platform's letter
// case (on Windows: cut at any "/", upper case).
std::string EndCommandValue(std::string value);

// The program's paths are UTF-8 texts; Windows would read a narrow path in its
// ANSI code page, so the file-system library is always handed them as UTF-8.
std::filesystem::path NativePath(const std::string& utf8);
std::string Utf8Path(const std::filesystem::path& path);

// An ordinary, visible file (a link to one counts); folders never count.
bool FileExists(const std::string& path);
bool IsFolder(const std::string& path);
// Anything at all under that name: file, folder, link, hidden or not.
bool PathExists(const std::string& path);

// Writes the file `target` as a whole: `write` fills a new, empty temporary
// file beside the target (it is given that file's path and returns an error
// text, empty on success); the file is then flushed to disk and renamed over
// the target, so that a reader sees the old file or the new one, never a part.
// The new file keeps the permissions (on Windows the attributes and creation
// time) of the file it replaces. Temporary files a killed run left beside the
// target are removed. An exception from `write` removes the temporary file
// and goes on to the caller. Returns an error text, empty on success.
using FileWriter = std::function<std::string(const std::string& temporary)>;
[[nodiscard]] std::string ReplaceFileAtomically(const std::string& target, const FileWriter& write);

// Fills the existing file `into` with the bytes of `from`, piece by piece.
[[nodiscard]] std::string CopyFileInto(const std::string& from, const std::string& into);
// Fills the existing file `into` with `bytes`.
[[nodiscard]] std::string WriteBytesInto(const std::string& into, std::string_view bytes);

// Replaces `to` atomically by a copy of `from`.
[[nodiscard]] std::string ReplaceFileWithCopy(const std::string& from, const std::string& to);

// Appends bytes to a file, creating it; returns an error text, empty on success.
[[nodiscard]] std::string AppendToFile(const std::string& path, std::string_view bytes);

// Reads the first `bytes` bytes of a file (fewer when it is shorter); nullopt
// when it cannot be read.
std::optional<std::string> ReadFileStart(const std::string& path, size_t bytes);
// Reads a whole file; nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Replaces a whole file atomically by `bytes`. Refuses a target that exists
// but may not be written. Returns an error text, empty on success.
[[nodiscard]] std::string WriteWholeFile(const std::string& path, std::string_view bytes);
// Why a file that exists may not be replaced: it is a folder, read-only, or
// (on Windows) held open by another program. Empty when it may.
[[nodiscard]] std::string RefusedWriteReason(const std::string& path);

// An exclusive lock through a lock file, which the operating system drops
// when the process holding it ends, however it ends: a killed holder blocks
// nobody. Letting go removes the file (on POSIX a killed holder leaves the
// bare file behind, which the next Take uses).
class FileLock {
 public:
  enum class Outcome { kTaken, kHeldElsewhere, kNoLockFile };
  FileLock() = default;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock() { Release(); }
  // Takes the lock of `path` without waiting, creating the file. kNoLockFile:
  // it can be neither created nor opened (no folder, or one closed to us).
  Outcome Take(const std::string& path);
  void Release();

 private:
  std::intptr_t handle_ = -1;  // a file descriptor, or a Windows handle
  std::string path_;
};

// A file read and written in pieces at given positions: no shared position
// to move first, so a page costs one call to the system rather than two.
class PositionalFile {
 public:
  PositionalFile() = default;
  PositionalFile(const PositionalFile&) = delete;
  PositionalFile& operator=(const PositionalFile&) = delete;
  ~PositionalFile() { Close(); }
  // False when the file cannot be opened (for writing too, when asked).
  bool Open(const std::string& path, bool writable);
  void Close();
  // nullopt when the size cannot be learnt.
  std::optional<std::uint64_t> Size() const;
  // All `size` bytes at `offset`, or false (a read past the end included).
  bool ReadAt(std::uint64_t offset, void* bytes, size_t size) const;
  bool WriteAt(std::uint64_t offset, const void* bytes, size_t size);

 private:
  std::intptr_t handle_ = -1;  // a file descriptor, or a Windows HANDLE
};

// What tells one version of a file from another: a file rewritten gets a new
// identity, size or last-write time.
struct FileStamp {
  std::uint64_t identity = 0;
  std::int64_t size = 0;
  std::int64_t last_write = 0;
  bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StampOf(const std::string& path);

// File times as the platform keeps them (nanoseconds since its epoch).
struct FileTimes {
  std::int64_t creation = 0;  // 0 where the platform has none
  std::int64_t last_write = 0;
};
std::optional<FileTimes> GetFileTimes(const std::string& path);
// Puts creation (where settable) and last-write time back; the last-access
// time is left alone. Returns false when the file cannot be changed.
bool SetFileTimes(const std::string& path, const FileTimes& times);

}  // namespace zc::platform
