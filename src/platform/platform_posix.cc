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

std::string TemporaryPrefix(const std::string& target) {
  return "." + target.substr(target.find_last_of('/') + 1) + ".tmp";
}

// Temporary files a killed run left beside the target: hidden, but large.
void RemoveStaleTemporaries(const std::string& target) {
  std::string folder = FolderOf(target), prefix = TemporaryPrefix(target);
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  while (struct dirent* entry = ::readdir(dir)) {
    if (std::string_view(entry->d_name).substr(0, prefix.size()) == prefix) {
      ::unlink((folder + '/' + entry->d_name).c_str());
    }
  }
  ::closedir(dir);
}

std::string TemporaryNameBeside(const std::string& target) {
  static std::mt19937_64 random{std::random_device{}()};
  RemoveStaleTemporaries(target);
  std::ostringstream name;
  name << FolderOf(target) << '/' << TemporaryPrefix(target) << std::hex << random();
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
  int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

// Writes `bytes` to a new temporary file beside `target`, flushes it to disk
// and renames it over the target, so readers see the old or the new file only.
std::string WriteThroughRename(const std::string& target, std::string_view bytes, mode_t mode) {
  std::string temp = TemporaryNameBeside(target);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return ErrnoText("Cannot create", temp);
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  std::string error = ok ? "" : ErrnoText("Cannot write", temp);
  ::close(fd);
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0)
    error = ErrnoText("Cannot replace", target);
  if (!error.empty()) {
    ::unlink(temp.c_str());
    return error;
  }
  SyncFolderOf(target);
  return "";
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
  std::string name = path.substr(path.find_last_of('/') + 1);
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

std::string ReplaceFileWithCopy(const std::string& from, const std::string& to) {
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return ErrnoText("Cannot read", from);
  struct stat info {};
  mode_t mode = ::fstat(in, &info) == 0 ? (info.st_mode & 07777) : 0644;
  std::string temp = TemporaryNameBeside(to);
  int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (out < 0) {
    ::close(in);
    return ErrnoText("Cannot create", temp);
  }
  // Databases run to hundreds of megabytes: copy them piece by piece.
  std::string buffer(1 << 20, '\0');
  std::string error;
  for (;;) {
    ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = ErrnoText("Cannot read", from);
    if (got <= 0) break;
    if (!WriteAll(out, std::string_view(buffer.data(), static_cast<size_t>(got)))) {
      error = ErrnoText("Cannot write", temp);
      break;
    }
  }
  if (error.empty() && ::fsync(out) != 0) error = ErrnoText("Cannot write", temp);
  ::close(in);
  ::close(out);
  if (error.empty() && ::rename(temp.c_str(), to.c_str()) != 0)
    error = ErrnoText("Cannot replace", to);
  if (!error.empty()) {
    ::unlink(temp.c_str());
    return error;
  }
  SyncFolderOf(to);
  return "";
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

std::string WriteWholeFile(const std::string& path, std::string_view bytes) {
  struct stat info {};
  mode_t mode = 0644;
  if (::stat(path.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) return "Not a file: " + path;
    // The rename would bypass a read-only file; honour it like the read-only
    // attribute on Windows, which binds administrators too.
    if ((info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) {
      errno = EACCES;
      return ErrnoText("Cannot write", path);
    }
    mode = info.st_mode & 07777;
  }
  return WriteThroughRename(path, bytes, mode);
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
