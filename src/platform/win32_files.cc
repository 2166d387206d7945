// Windows file contents and times through the wide-character Win32 calls, so
// that any name the file system holds can be reached from UTF-8.
#include <algorithm>
#include <random>
#include <sstream>

#include "platform/platform.h"
#include "platform/win32_text.h"

namespace zc::platform {
namespace {

using win32::ErrorText;
using win32::Handle;
using win32::Wide;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// FILETIME counts 100 ns from 1601; nanoseconds from then overflow 64 bits,
// so times are kept as nanoseconds from 1970.
constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000;

// The file system takes "/" as well as "\\" between folders, so both count here.
size_t NameStart(const std::string& path) {
  return path.find_last_of("\\/:") + 1;  // 0 without a folder or drive
}

// ".<name>.tmp" beside the target, as on POSIX, so one pattern finds them all.
std::string TemporaryPrefix(const std::string& target) {
  return target.substr(0, NameStart(target)) + "." + target.substr(NameStart(target)) + ".tmp";
}

// Temporary files a killed run left beside the target: large, and of no use.
void RemoveStaleTemporaries(const std::string& target) {
  const std::string prefix = TemporaryPrefix(target);
  const std::string folder = prefix.substr(0, NameStart(prefix));
  const std::wstring name_prefix = Wide(prefix.substr(NameStart(prefix)));
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW(Wide(prefix + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    // The search also matches short 8.3 names: only the long name counts.
    if (std::wstring_view(found.cFileName).starts_with(name_prefix)) {
      ::DeleteFileW((Wide(folder) + found.cFileName).c_str());
    }
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

std::string TemporaryNameBeside(const std::string& target) {
  static std::mt19937_64 random{std::random_device{}()};
  RemoveStaleTemporaries(target);
  std::ostringstream name;
  name << TemporaryPrefix(target) << std::hex << random();
  return name.str();
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1 << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

std::optional<std::string> ReadUpTo(const std::string& path, size_t limit) {
  Handle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  std::string content;
  char buffer[65536];
  while (content.size() < limit) {
    DWORD wanted = static_cast<DWORD>(std::min(sizeof buffer, limit - content.size()));
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, wanted, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    content.append(buffer, got);
  }
  return content;
}

// Moves the finished temporary file over the target. A replaced file keeps its
// attributes and creation time, as if it had been written in place.
std::string MoveOverTarget(const std::string& temp, const std::string& target) {
  std::wstring wide_target = Wide(target);
  DWORD kept_attributes = ::GetFileAttributesW(wide_target.c_str());
  std::optional<FileTimes> kept_times = GetFileTimes(target);
  if (!::MoveFileExW(Wide(temp).c_str(), wide_target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return ErrorText("Cannot replace", target);
  }
  if (kept_attributes != INVALID_FILE_ATTRIBUTES) {
    ::SetFileAttributesW(wide_target.c_str(), kept_attributes);
  }
  if (kept_times && kept_times->creation != 0) {
    FileTimes times = *GetFileTimes(target);
    times.creation = kept_times->creation;
    SetFileTimes(target, times);
  }
  return "";
}

// Flushes the filled temporary file to disk.
std::string Flush(const std::string& temp) {
  Handle file(::CreateFileW(Wide(temp).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid() || !::FlushFileBuffers(file.get())) return ErrorText("Cannot write", temp);
  return "";
}

Handle OpenToFill(const std::string& temp) {
  return Handle(::CreateFileW(Wide(temp).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Databases run to hundreds of megabytes: they are copied piece by piece.
std::string CopyInto(const std::string& temp, const std::string& from) {
  Handle in(::CreateFileW(Wide(from).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!in.valid()) return ErrorText("Cannot read", from);
  Handle out = OpenToFill(temp);
  if (!out.valid()) return ErrorText("Cannot write", temp);
  std::string buffer(1 << 20, '\0');
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      return ErrorText("Cannot read", from);
    }
    if (got == 0) return "";
    if (!WriteAll(out.get(), std::string_view(buffer.data(), got))) {
      return ErrorText("Cannot write", temp);
    }
  }
}

std::int64_t ToNanoseconds(const FILETIME& time) {
  std::int64_t ticks = (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return ticks == 0 ? 0 : (ticks - kTicksFrom1601To1970) * 100;
}

FILETIME ToFiletime(std::int64_t nanoseconds) {
  std::uint64_t ticks = static_cast<std::uint64_t>(nanoseconds / 100 + kTicksFrom1601To1970);
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace

std::string ReplaceFileAtomically(const std::string& target, const FileWriter& write) {
  std::string temp = TemporaryNameBeside(target);
  {
    Handle file(::CreateFileW(Wide(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return ErrorText("Cannot create", temp);
  }
  std::string error;
  try {
    error = write(temp);
  } catch (...) {
    ::DeleteFileW(Wide(temp).c_str());
    throw;
  }
  if (error.empty()) error = Flush(temp);
  if (error.empty()) error = MoveOverTarget(temp, target);
  if (!error.empty()) ::DeleteFileW(Wide(temp).c_str());
  return error;
}

std::string CopyFileInto(const std::string& from, const std::string& into) {
  return CopyInto(into, from);
}

std::string WriteBytesInto(const std::string& into, std::string_view bytes) {
  Handle out = OpenToFill(into);
  if (!out.valid() || !WriteAll(out.get(), bytes)) return ErrorText("Cannot write", into);
  return "";
}

std::string ReplaceFileWithCopy(const std::string& from, const std::string& to) {
  if (IsFolder(from)) return ErrorText("Cannot read", from, ERROR_ACCESS_DENIED);
  return ReplaceFileAtomically(to, [&](const std::string& temp) { return CopyInto(temp, from); });
}

std::string AppendToFile(const std::string& path, std::string_view bytes) {
  // Append access alone makes every write land at the end, even with other writers.
  Handle file(::CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return ErrorText("Cannot open", path);
  if (!WriteAll(file.get(), bytes)) return ErrorText("Cannot write", path);
  return "";
}

std::optional<std::string> ReadFileStart(const std::string& path, size_t bytes) {
  if (IsFolder(path)) return std::nullopt;
  return ReadUpTo(path, bytes);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  if (IsFolder(path)) return std::nullopt;
  return ReadUpTo(path, static_cast<size_t>(-1));
}

std::string RefusedWriteReason(const std::string& path) {
  DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return "";
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "Not a file: " + path;
  // The move would replace a read-only file; the attribute forbids writing it.
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return ErrorText("Cannot write", path, ERROR_ACCESS_DENIED);
  }
  // A program that holds the file open (Access, the display) must let go first.
  Handle held(::CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!held.valid() && ::GetLastError() == ERROR_SHARING_VIOLATION) {
    return ErrorText("Cannot write", path, ERROR_SHARING_VIOLATION);
  }
  return "";
}

std::optional<FileStamp> StampOf(const std::string& path) {
  Handle file(::CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file.valid() || !::GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  std::uint64_t index =
      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return FileStamp{index ^ (static_cast<std::uint64_t>(info.dwVolumeSerialNumber) << 32),
                   (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                   ToNanoseconds(info.ftLastWriteTime)};
}

std::optional<FileTimes> GetFileTimes(const std::string& path) {
  Handle file(::CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  FILETIME creation{}, last_write{};
  if (!file.valid() || !::GetFileTime(file.get(), &creation, nullptr, &last_write)) {
    return std::nullopt;
  }
  return FileTimes{ToNanoseconds(creation), ToNanoseconds(last_write)};
}

bool SetFileTimes(const std::string& path, const FileTimes& times) {
  Handle file(::CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return false;
  FILETIME creation = ToFiletime(times.creation);
  FILETIME last_write = ToFiletime(times.last_write);
  // No last-access time is passed, so it stays as it is.
  return ::SetFileTime(file.get(), times.creation != 0 ? &creation : nullptr, nullptr,
                       &last_write) != 0;
}

}  // namespace zc::platform
