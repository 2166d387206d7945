// Positional reads and writes on POSIX: pread and pwrite.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"

namespace zc::platform {

bool PositionalFile::Open(const std::string& path, bool writable) {
  Close();
  int fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd < 0) return false;
  handle_ = fd;
  return true;
}

void PositionalFile::Close() {
  if (handle_ == -1) return;
  ::close(static_cast<int>(handle_));
  handle_ = -1;
}

std::optional<std::uint64_t> PositionalFile::Size() const {
  struct stat info {};
  if (handle_ == -1 || ::fstat(static_cast<int>(handle_), &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

bool PositionalFile::ReadAt(std::uint64_t offset, void* bytes, size_t size) const {
  auto* at = static_cast<char*>(bytes);
  while (size > 0) {
    ssize_t got = ::pread(static_cast<int>(handle_), at, size, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    at += got;
    offset += static_cast<std::uint64_t>(got);
    size -= static_cast<size_t>(got);
  }
  return true;
}

bool PositionalFile::WriteAt(std::uint64_t offset, const void* bytes, size_t size) {
  auto* at = static_cast<const char*>(bytes);
  while (size > 0) {
    ssize_t put = ::pwrite(static_cast<int>(handle_), at, size, static_cast<off_t>(offset));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    at += put;
    offset += static_cast<std::uint64_t>(put);
    size -= static_cast<size_t>(put);
  }
  return true;
}

}  // namespace zc::platform
