// Positional reads and writes on Windows: ReadFile and WriteFile told the
// offset, on a handle that shares the file as a stream would.
#include <algorithm>

#include "platform/platform.h"
#include "platform/win32_text.h"

namespace zc::platform {
namespace {

HANDLE Native(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(offset);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return position;
}

}  // namespace

bool PositionalFile::Open(const std::string& path, bool writable) {
  Close();
  HANDLE file = ::CreateFileW(win32::Wide(path).c_str(),
                              GENERIC_READ | (writable ? GENERIC_WRITE : 0),
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return true;
}

void PositionalFile::Close() {
  if (handle_ == -1) return;
  ::CloseHandle(Native(handle_));
  handle_ = -1;
}

std::optional<std::uint64_t> PositionalFile::Size() const {
  LARGE_INTEGER size{};
  if (handle_ == -1 || !::GetFileSizeEx(Native(handle_), &size)) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

bool PositionalFile::ReadAt(std::uint64_t offset, void* bytes, size_t size) const {
  auto* at = static_cast<char*>(bytes);
  while (size > 0) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1 << 30)), got = 0;
    OVERLAPPED position = At(offset);
    if (!::ReadFile(Native(handle_), at, chunk, &got, &position) || got == 0) return false;
    at += got;
    offset += got;
    size -= got;
  }
  return true;
}

bool PositionalFile::WriteAt(std::uint64_t offset, const void* bytes, size_t size) {
  auto* at = static_cast<const char*>(bytes);
  while (size > 0) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1 << 30)), put = 0;
    OVERLAPPED position = At(offset);
    if (!::WriteFile(Native(handle_), at, chunk, &put, &position) || put == 0) return false;
    at += put;
    offset += put;
    size -= put;
  }
  return true;
}

}  // namespace zc::platform
