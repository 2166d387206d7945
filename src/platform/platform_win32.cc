// Windows: "\" separates folders, drives have roots ("C:\"), and a command-line
// value ends at any "/". File contents and times: win32_files.cc.
#include <cwchar>
#include <vector>

#include "platform/ansi_text.h"
#include "platform/platform.h"
#include "platform/win32_process.h"
#include "platform/win32_text.h"

namespace zc::platform {
namespace {

using win32::Utf8;
using win32::Wide;

std::string ModulePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return "";
    if (length < buffer.size()) return Utf8(std::wstring_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);  // cut off: a long path
  }
}

// Major, minor and revision as the file's VERSIONINFO resource states them
// (FILEVERSION major,minor,revision,build); 0.0.0 for a file without one.
Version VersionOfFile(const std::string& path) {
  std::wstring file = Wide(path);
  DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), nullptr);
  std::vector<char> data(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (size == 0 || !::GetFileVersionInfoW(file.c_str(), 0, size, data.data()) ||
      !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
      length < sizeof *fixed) {
    return {};
  }
  return {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
          HIWORD(fixed->dwFileVersionLS)};
}

std::string FirstEnvironmentEntry() {
  wchar_t* block = ::GetEnvironmentStringsW();
  if (block == nullptr) return "";
  std::string first = win32::FirstVariable(block);
  ::FreeEnvironmentStringsW(block);
  return first;
}

std::string EnvironmentValue(const wchar_t* name) {
  DWORD length = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (length == 0) return "";
  std::wstring value(length, L'\0');
  length = ::GetEnvironmentVariableW(name, value.data(), length);
  value.resize(length);
  return Utf8(value);
}

void TrimBlanks(std::string& text) {
  text.erase(0, text.find_first_not_of(' '));
  while (!text.empty() && text.back() == ' ') text.pop_back();
}

DWORD AttributesOf(const std::string& path) {
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  return ::GetFileAttributesW(Wide(path).c_str());
}

// A symbolic link counts for what it points to: an ordinary file behind it.
bool LinkLeadsToFile(const std::string& path) {
  win32::Handle target(::CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  return target.valid() && ::GetFileInformationByHandle(target.get(), &info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

namespace win32 {

std::string ArgumentText(std::wstring_view line) {
  size_t pos = 0;
  if (!line.empty() && line[0] == L'"') {
    size_t closing = line.find(L'"', 1);
    pos = closing == std::wstring_view::npos ? line.size() : closing + 1;
  } else {
    while (pos < line.size() && line[pos] != L' ' && line[pos] != L'\t') ++pos;
  }
  while (pos < line.size() && (line[pos] == L' ' || line[pos] == L'\t')) ++pos;
  return Utf8(line.substr(pos));
}

// Entries that start with "=" are the shell's current folders per drive and
// its exit code, not variables: the first variable is what counts.
std::string FirstVariable(const wchar_t* block) {
  for (const wchar_t* entry = block; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
    if (entry[0] != L'=') return Utf8(entry);
  }
  return "";
}

}  // namespace win32

char Separator() { return '\\'; }

std::string_view ProgramExtension() { return ".exe"; }

ProcessFacts CurrentProcess(int argc, const char* const* argv) {
  ProcessFacts facts;
  facts.executable_path = ModulePath();
  if (facts.executable_path.empty() && argc > 0) facts.executable_path = argv[0];
  facts.command_line = win32::ArgumentText(::GetCommandLineW());
  facts.first_environment_entry = FirstEnvironmentEntry();
  facts.version = VersionOfFile(facts.executable_path);
  facts.service_pack_log_path = DefaultServicePackLogPath();
  return facts;
}

bool StandardErrorIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

std::string DefaultServicePackLogPath() {
  std::string moved = EnvironmentValue(L"TOLVA_SERVICEPACK_LOG");
  return moved.empty() ? "C:\\TolvaServicePack.log" : moved;
}

std::string PathInMessage(std::string_view path) { return UpperCase(path); }

std::string EndCommandValue(std::string value) {
  TrimBlanks(value);
  value = UpperCase(value);
  // Every "/" ends a value here: the next key starts with one.
  if (auto slash = value.find('/'); slash != std::string::npos) {
    value.resize(slash);
    TrimBlanks(value);
  }
  return value;
}

bool FileExists(const std::string& path) {
  DWORD attributes = AttributesOf(path);
  constexpr DWORD kNotAFile =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kNotAFile) != 0) return false;
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 || LinkLeadsToFile(path);
}

bool IsFolder(const std::string& path) {
  DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PathExists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

}  // namespace zc::platform
