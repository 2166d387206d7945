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

// Repeats `call` (ReadFile or WriteFile) until all of `size` bytes are moved.
template <typename Byte, typename Call>
bool Whole(Call call, HANDLE file, std::uint64_t offset, Byte* at, size_t size) {
  while (size > 0) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1 << 30)), moved = 0;
    OVERLAPPED position = At(offset);
    if (!call(file, at, chunk, &moved, &position) || moved == 0) return false;
    at += moved;
    offset += moved;
    size -= moved;
  }
  return true;
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
  return Whole(::ReadFile, Native(handle_), offset, static_cast<char*>(bytes), size);
}

bool PositionalFile::WriteAt(std::uint64_t offset, const void* bytes, size_t size) {
  return Whole(::WriteFile, Native(handle_), offset, static_cast<const char*>(bytes), size);
}

}  // namespace zc::platform
