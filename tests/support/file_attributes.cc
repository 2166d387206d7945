#include "support/file_attributes.h"

#include "platform/win32_text.h"

namespace zc::testing {
namespace {

DWORD Flag(Attribute attribute) {
  switch (attribute) {
    case Attribute::kHidden:
      return FILE_ATTRIBUTE_HIDDEN;
    case Attribute::kSystem:
      return FILE_ATTRIBUTE_SYSTEM;
    case Attribute::kReadOnly:
      return FILE_ATTRIBUTE_READONLY;
    case Attribute::kArchive:
      return FILE_ATTRIBUTE_ARCHIVE;
  }
  return 0;
}

}  // namespace

bool AddAttribute(const std::string& path, Attribute attribute) {
  std::wstring wide = platform::win32::Wide(path);
  DWORD now = ::GetFileAttributesW(wide.c_str());
  return now != INVALID_FILE_ATTRIBUTES &&
         ::SetFileAttributesW(wide.c_str(), now | Flag(attribute));
}

bool HasAttribute(const std::string& path, Attribute attribute) {
  DWORD now = ::GetFileAttributesW(platform::win32::Wide(path).c_str());
  return now != INVALID_FILE_ATTRIBUTES && (now & Flag(attribute)) != 0;
}

void ClearAttributes(const std::string& path) {
  ::SetFileAttributesW(platform::win32::Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool UnderWine() {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace zc::testing
