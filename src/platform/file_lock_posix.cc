// The lock of a lock file on POSIX: flock, which dies with its holder.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"

namespace zc::platform {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

FileLock::Outcome FileLock::Take(const std::string& path) {
  Release();
  // A holder that lets go removes its file: a lock won on that file, opened
  // just before, guards nothing, and the name is opened again.
  for (int attempt = 0; attempt < 16; ++attempt) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);  // another user's file
    if (fd < 0) return Outcome::kNoLockFile;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      bool held = errno == EWOULDBLOCK;
      ::close(fd);
      return held ? Outcome::kHeldElsewhere : Outcome::kNoLockFile;
    }
    struct stat locked {
    }, named{};
    if (::fstat(fd, &locked) == 0 && ::stat(path.c_str(), &named) == 0 && SameFile(locked, named)) {
      handle_ = fd;
      path_ = path;
      return Outcome::kTaken;
    }
    ::close(fd);
  }
  return Outcome::kHeldElsewhere;
}

void FileLock::Release() {
  if (handle_ < 0) return;
  ::unlink(path_.c_str());  // still locked, so nobody takes a lock on a file about to go
  ::close(static_cast<int>(handle_));
  handle_ = -1;
}

}  // namespace zc::platform
