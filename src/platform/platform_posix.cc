#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/platform.h"
#include "platform/version.h"

extern char** environ;

namespace zc::platform {
namespace {

std::string ErrnoText(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

std::string TemporaryPrefix(const std::string& target) { return "." + FileNameOf(target) + ".tmp"; }

// Temporary files a killed run left beside the target: hidden, but large.
void RemoveStaleTemporaries(const std::string& target) {
  std::string folder = FolderOf(target), prefix = TemporaryPrefix(target);
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  while (struct dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name.substr(0, prefix.size()) != prefix) continue;
    ::unlink((folder.empty() ? std::string(name) : JoinPath(folder, name)).c_str());
  }
  ::closedir(dir);
}

// Beside the target, so that the rename never crosses file systems.
std::string TemporaryNameBeside(const std::string& target) {
  static std::mt19937_64 random{std::random_device{}()};
  RemoveStaleTemporaries(target);
  std::ostringstream name;
  name << target.substr(0, target.size() - FileNameOf(target).size()) << TemporaryPrefix(target)
       << std::hex << random();
  return name.str();
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

void SyncFolderOf(const std::string& path) {
  std::string folder = FolderOf(path);
  int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

// The permissions a file replacing `target` gets: the target's own, or the
// usual ones for a new file.
mode_t ModeReplacing(const std::string& target) {
  struct stat info {};
  return ::stat(target.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0644;
}

// Flushes the filled temporary file to disk and gives it its final
// permissions; it was made writable for the filling whatever they are.
std::string Finish(const std::string& temp, mode_t mode) {
  int fd = ::open(temp.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return ErrnoText("Cannot write", temp);
  struct stat info {};
  bool ok = ::fsync(fd) == 0 && ::fstat(fd, &info) == 0 &&
            ((mode & S_IWUSR) != 0 || ::fchmod(fd, info.st_mode & 07777 & ~S_IWUSR) == 0);
  std::string error = ok ? "" : ErrnoText("Cannot write", temp);
  ::close(fd);
  return error;
}

// Copies inside the kernel where it can, so a database of hundreds of
// megabytes does not pass through this process (and a file system that
// shares extents copies nothing). False when the kernel declines, another
// file system for one; the caller then goes on from where this stopped.
bool CopyInKernel(int in, int out) {
#ifdef __linux__
  for (;;) {
    ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, size_t{1} << 30, 0);
    if (copied == 0) return true;
    if (copied < 0 && errno != EINTR) return false;
  }
#else
  (void)in, (void)out;
  return false;
#endif
}

// Databases run to hundreds of megabytes: they are copied piece by piece.
std::string CopyInto(const std::string& temp, const std::string& from) {
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return ErrnoText("Cannot read", from);
  int out = ::open(temp.c_str(), O_WRONLY | O_CLOEXEC);
  std::string error = out < 0 ? ErrnoText("Cannot write", temp) : "";
  if (error.empty() && CopyInKernel(in, out)) {
    ::close(in);
    ::close(out);
    return "";
  }
  std::string buffer(1 << 20, '\0');
  while (error.empty()) {
    ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = ErrnoText("Cannot read", from);
    if (got <= 0) break;
    if (!WriteAll(out, std::string_view(buffer.data(), static_cast<size_t>(got)))) {
      error = ErrnoText("Cannot write", temp);
    }
  }
  ::close(in);
  if (out >= 0) ::close(out);
  return error;
}

}  // namespace

char Separator() { return '/'; }

std::string_view ProgramExtension() { return ""; }

ProcessFacts CurrentProcess(int argc, const char* const* argv) {
  ProcessFacts facts;
  char buffer[4096];
  ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  facts.executable_path =
      length > 0 ? std::string(buffer, static_cast<size_t>(length)) : (argc > 0 ? argv[0] : "");
  for (int i = 1; i < argc; ++i) {
    if (i > 1) facts.command_line += ' ';
    facts.command_line += argv[i];
  }
  if (environ != nullptr && environ[0] != nullptr) facts.first_environment_entry = environ[0];
  facts.version = {kVersionMajor, kVersionMinor, kVersionRevision};
  facts.service_pack_log_path = DefaultServicePackLogPath();
  return facts;
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::string DefaultServicePackLogPath() {
  const char* moved = std::getenv("TOLVA_SERVICEPACK_LOG");
  return moved != nullptr && *moved != '\0' ? moved : "/var/log/TolvaServicePack.log";
}

std::string PathInMessage(std::string_view path) { return std::string(path); }

std::string EndCommandValue(std::string value) {
  auto trim = [](std::string& text) {
    text.erase(0, text.find_first_not_of(' '));
    while (!text.empty() && text.back() == ' ') text.pop_back();
  };
  trim(value);
  // "/" separates folders here, so only a "/" after a blank starts the next
  // key, and a path keeps its letter case.
  if (auto next_key = value.find(" /"); next_key != std::string::npos) value.resize(next_key);
  trim(value);
  return value;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  std::string name = FileNameOf(path);
  return name.empty() || name[0] != '.';
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::lstat(path.c_str(), &info) == 0;
}

std::string ReplaceFileAtomically(const std::string& target, const FileWriter& write) {
  mode_t mode = ModeReplacing(target);
  std::string temp = TemporaryNameBeside(target);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode | S_IWUSR);
  if (fd < 0) return ErrnoText("Cannot create", temp);
  ::close(fd);
  std::string error;
  try {
    error = write(temp);
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  if (error.empty()) error = Finish(temp, mode);
  if (error.empty() && ::rename(temp.c_str(), target.c_str()) != 0) {
    error = ErrnoText("Cannot replace", target);
  }
  if (!error.empty()) {
    ::unlink(temp.c_str());
    return error;
  }
  SyncFolderOf(target);
  return "";
}

std::string CopyFileInto(const std::string& from, const std::string& into) {
  return CopyInto(into, from);
}

std::string WriteBytesInto(const std::string& into, std::string_view bytes) {
  int fd = ::open(into.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return ErrnoText("Cannot write", into);
  std::string error = WriteAll(fd, bytes) ? "" : ErrnoText("Cannot write", into);
  ::close(fd);
  return error;
}

std::string ReplaceFileWithCopy(const std::string& from, const std::string& to) {
  return ReplaceFileAtomically(to, [&](const std::string& temp) { return CopyInto(temp, from); });
}

std::string AppendToFile(const std::string& path, std::string_view bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return ErrnoText("Cannot open", path);
  bool ok = WriteAll(fd, bytes);
  std::string error = ok ? "" : ErrnoText("Cannot write", path);
  ::close(fd);
  return error;
}

std::optional<std::string> ReadFileStart(const std::string& path, size_t bytes) {
  if (IsFolder(path)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string head(bytes, '\0');
  in.read(head.data(), static_cast<std::streamsize>(bytes));
  head.resize(static_cast<size_t>(in.gcount()));
  return head;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  if (IsFolder(path)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return content.str();
}

std::string RefusedWriteReason(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return "";
  if (!S_ISREG(info.st_mode)) return "Not a file: " + path;
  // The rename would bypass a read-only file; honour it like the read-only
  // attribute on Windows, which binds administrators too.
  if ((info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) {
    errno = EACCES;
    return ErrnoText("Cannot write", path);
  }
  return "";
}

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileStamp{
      static_cast<std::uint64_t>(info.st_ino) ^ (static_cast<std::uint64_t>(info.st_dev) << 32),
      static_cast<std::int64_t>(info.st_size),
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::optional<FileTimes> GetFileTimes(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  FileTimes times;
  times.last_write =
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return times;
}

bool SetFileTimes(const std::string& path, const FileTimes& times) {
  struct timespec values[2];
  values[0].tv_sec = 0;
  values[0].tv_nsec = UTIME_OMIT;  // the last-access time is never set
  values[1].tv_sec = static_cast<time_t>(times.last_write / 1000000000);
  values[1].tv_nsec = static_cast<long>(times.last_write % 1000000000);
  return ::utimensat(AT_FDCWD, path.c_str(), values, 0) == 0;
}

}  // namespace zc::platform
