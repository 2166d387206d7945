#include "jet/index.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace zc::jet {
namespace {

constexpr std::uint8_t kAscendingStart = 0x7F;
constexpr std::uint8_t kDescendingStart = 0x80;

// General sort order codes of the characters this program sorts, as Access
// writes them (read off Access-made catalogs). Jet 4 ends a text with 01 00.
struct SortCode {
  char from;
  std::string_view code;
};
constexpr std::string_view kJet4Letters[] = {"\x4a", "\x4c", "\x4d", "\x4f", "\x51", "\x53", "\x55",
                                             "\x57", "\x59", "\x5b", "\x5c", "\x5e", "\x60", "\x62",
                                             "\x64", "\x66", "\x68", "\x69", "\x6b", "\x6d", "\x6f",
                                             "\x71", "\x73", "\x75", "\x76", ""};
constexpr SortCode kJet4Others[] = {
    {' ', "\x07"}, {',', "\x1a"}, {'/', "\x1e"}, {'_', "\x2b\x03"}, {'~', "\x2b\x0f"}};
constexpr std::string_view kJet4Digits = "\x36\x38\x3a\x3c\x3e\x40\x42\x44\x46\x48";

// Jet 3 (Access 97) codes: one byte each, ended by a single 00.
constexpr std::string_view kJet3Letters =
    "\x60\x61\x62\x64\x66\x67\x68\x69\x6a\x6b\x6c\x6d\x6f\x70\x72\x73\x74\x75\x76\x77\x78\x7a"
    "\x7b\x7c\x7d\x7e";

std::string_view CodeOf(char c, bool jet4) {
  const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  if (lower >= 'a' && lower <= 'z') {
    const auto at = static_cast<std::size_t>(lower - 'a');
    return jet4 ? kJet4Letters[at] : kJet3Letters.substr(at, 1);
  }
  if (c >= '0' && c <= '9') {
    return (jet4 ? kJet4Digits : std::string_view("\x56\x57\x58\x59\x5a\x5b\x5c\x5d\x5e\x5f"))
        .substr(static_cast<std::size_t>(c - '0'), 1);
  }
  if (!jet4 && c == ' ') return " ";
  if (!jet4 && c == '_') return "\x39";
  if (jet4) {
    for (const SortCode& code : kJet4Others) {
      if (code.from == c) return code.code;
    }
  }
  return {};
}

void Invert(Blob& bytes, std::size_t from) {
  for (std::size_t i = from; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(~bytes[i]);
}

}  // namespace

Blob IndexKeyLong(std::int32_t value, bool ascending) {
  const auto bits = static_cast<std::uint32_t>(value) ^ 0x80000000u;
  Blob key{ascending ? kAscendingStart : kDescendingStart, static_cast<std::uint8_t>(bits >> 24),
           static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 8),
           static_cast<std::uint8_t>(bits)};
  if (!ascending) Invert(key, 1);
  return key;
}

Blob IndexKeyText(const std::string& text, bool jet4, bool ascending) {
  Blob key{ascending ? kAscendingStart : kDescendingStart};
  for (char c : text) {
    const std::string_view code = CodeOf(c, jet4);
    if (code.empty()) {
      Unsupported("the name \"" + text + "\" holds a character (\"" + std::string(1, c) +
                  "\") this program cannot enter into an Access catalog; " +
                  std::string(kCreateOnceInAccess));
    }
    key.insert(key.end(), code.begin(), code.end());
  }
  key.push_back(jet4 ? 0x01 : 0x00);
  if (jet4) key.push_back(0x00);
  if (!ascending) Invert(key, 1);
  return key;
}

}  // namespace zc::jet
