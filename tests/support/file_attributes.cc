#include "support/file_attributes.h"

#include "platform/win32_text.h"

namespace zc::testing {
namespace {

DWORD Flag(Attribute attribute) {
  return attribute == Attribute::kHidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_SYSTEM;
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

}  // namespace zc::testing
