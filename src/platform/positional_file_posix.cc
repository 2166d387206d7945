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

namespace {

// Repeats `call` (pread or pwrite) until all of `size` bytes are moved.
template <typename Byte, typename Call>
bool Whole(Call call, int fd, std::uint64_t offset, Byte* at, size_t size) {
  while (size > 0) {
    ssize_t moved = call(fd, at, size, static_cast<off_t>(offset));
    if (moved < 0 && errno == EINTR) continue;
    if (moved <= 0) return false;
    at += moved;
    offset += static_cast<std::uint64_t>(moved);
    size -= static_cast<size_t>(moved);
  }
  return true;
}

}  // namespace

bool PositionalFile::ReadAt(std::uint64_t offset, void* bytes, size_t size) const {
  return Whole(::pread, static_cast<int>(handle_), offset, static_cast<char*>(bytes), size);
}

bool PositionalFile::WriteAt(std::uint64_t offset, const void* bytes, size_t size) {
  return Whole(::pwrite, static_cast<int>(handle_), offset, static_cast<const char*>(bytes), size);
}

}  // namespace zc::platform
