// The lock of a lock file on Windows: the file opened without sharing, so a
// second open fails while the handle lives; the system closes the handle of
// a process that ends, however it ends, and the file goes with it.
#include "platform/platform.h"
#include "platform/win32_text.h"

namespace zc::platform {

FileLock::Outcome FileLock::Take(const std::string& path) {
  Release();
  HANDLE file =
      ::CreateFileW(win32::Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return ::GetLastError() == ERROR_SHARING_VIOLATION ? Outcome::kHeldElsewhere
                                                       : Outcome::kNoLockFile;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  path_ = path;
  return Outcome::kTaken;
}

void FileLock::Release() {
  if (handle_ == -1) return;
  ::CloseHandle(reinterpret_cast<HANDLE>(handle_));  // deletes the file
  handle_ = -1;
}

}  // namespace zc::platform
