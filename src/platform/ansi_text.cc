#include "platform/ansi_text.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace zc::platform {
namespace {

// Unicode code points of the Windows-1252 bytes 0x80..0x9F; the five unused
// bytes map to the C1 controls, as Windows does.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Eight bytes at a time: most texts a run compares are plain ASCII.
bool IsAscii(std::string_view text) {
  std::uint64_t any = 0;
  size_t at = 0;
  for (std::uint64_t word; at + 8 <= text.size(); at += 8) {
    std::memcpy(&word, text.data() + at, 8);
    any |= word;
  }
  for (; at < text.size(); ++at) any |= static_cast<unsigned char>(text[at]);
  return (any & 0x8080808080808080u) == 0;
}

char32_t ToCodePoint(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

int AnsiByteOf(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == code) return static_cast<int>(0x80 + i);
  }
  return -1;
}

// Decodes one UTF-8 character at `pos`, advancing it; kInvalid for a broken
// one. An overlong form or a code past U+10FFFF is broken too: written back in
// its shortest form it would change the text's length, and callers that
// compare upper-cased texts rely on positions carrying over.
char32_t NextCodePoint(std::string_view text, size_t& pos) {
  static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  auto byte = static_cast<unsigned char>(text[pos++]);
  if (byte < 0x80) return byte;
  int extra = byte >= 0xF8 ? -1 : byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : -1;
  if (extra < 0) return kInvalid;
  char32_t code = byte & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    if (pos >= text.size() || (static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80) {
      return kInvalid;
    }
    code = (code << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
  }
  return code < kSmallest[extra] || code > 0x10FFFF ? kInvalid : code;
}

char32_t UpperCodePoint(char32_t code) {
  if (code >= 'a' && code <= 'z') return code - 0x20;
  if (code >= 0xE0 && code <= 0xFE && code != 0xF7) return code - 0x20;
  switch (code) {
    case 0xFF:
      return 0x178;  // ÿ
    case 0x161:
      return 0x160;  // š
    case 0x153:
      return 0x152;  // œ
    case 0x17E:
      return 0x17D;  // ž
    default:
      return code;
  }
}

std::string MapCodePoints(std::string_view utf8, char32_t (*map)(char32_t)) {
  bool ascii = true;
  for (char c : utf8) ascii &= (static_cast<unsigned char>(c) < 0x80);
  if (ascii) {  // names and keywords: the common case, worth its own loop
    std::string out(utf8);
    for (char& c : out) c = static_cast<char>(map(static_cast<unsigned char>(c)));
    return out;
  }
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    size_t start = pos;
    char32_t code = NextCodePoint(utf8, pos);
    if (code == kInvalid) {
      out.append(utf8.substr(start, pos - start));
    } else {
      AppendUtf8(out, map(code));
    }
  }
  return out;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t code) { return code >= 0xD800 && code < 0xE000; }

std::string FromUtf16(std::string_view bytes, bool little_endian) {
  auto unit = [&](size_t at) -> char32_t {
    auto first = static_cast<unsigned char>(bytes[at]);
    auto second = static_cast<unsigned char>(bytes[at + 1]);
    return little_endian ? (second << 8 | first) : (first << 8 | second);
  };
  std::string out;
  size_t at = 0;
  for (; at + 1 < bytes.size(); at += 2) {
    char32_t code = unit(at);
    if (code >= 0xD800 && code < 0xDC00 && at + 3 < bytes.size()) {
      char32_t low = unit(at + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        at += 2;
      }
    }
    AppendUtf8(out, IsSurrogate(code) ? kReplacement : code);
  }
  if (at < bytes.size()) AppendUtf8(out, kReplacement);
  return out;
}

std::string ToUtf16(std::string_view utf8, bool little_endian) {
  std::string out;
  auto put = [&](char32_t unit) {
    char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    out += little_endian ? low : high;
    out += little_endian ? high : low;
  };
  for (size_t pos = 0; pos < utf8.size();) {
    char32_t code = NextCodePoint(utf8, pos);
    if (code == kInvalid || IsSurrogate(code)) code = kReplacement;
    if (code < 0x10000) {
      put(code);
    } else {
      put(0xD800 + ((code - 0x10000) >> 10));
      put(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
  }
  return out;
}

}  // namespace

DecodedText DecodeText(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) {
    return {TextEncoding::kUtf8, std::string(bytes.substr(kUtf8Mark.size()))};
  }
  if (bytes.starts_with(kUtf16LeMark)) {
    return {TextEncoding::kUtf16Le, FromUtf16(bytes.substr(kUtf16LeMark.size()), true)};
  }
  if (bytes.starts_with(kUtf16BeMark)) {
    return {TextEncoding::kUtf16Be, FromUtf16(bytes.substr(kUtf16BeMark.size()), false)};
  }
  return {TextEncoding::kAnsi, FromAnsi(bytes)};
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return std::string(kUtf8Mark).append(utf8);
    case TextEncoding::kUtf16Le:
      return std::string(kUtf16LeMark) + ToUtf16(utf8, true);
    case TextEncoding::kUtf16Be:
      return std::string(kUtf16BeMark) + ToUtf16(utf8, false);
    case TextEncoding::kAnsi:
      break;
  }
  return ToAnsi(utf8);
}

std::string_view FirstCharacters(std::string_view utf8, size_t count) {
  size_t pos = 0;
  for (size_t taken = 0; taken < count && pos < utf8.size(); ++taken) NextCodePoint(utf8, pos);
  return utf8.substr(0, pos);
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::string ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    int byte = AnsiByteOf(NextCodePoint(utf8, pos));
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

std::string FromAnsi(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char c : ansi) AppendUtf8(out, ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string UpperCase(std::string_view utf8) { return MapCodePoints(utf8, UpperCodePoint); }

int CompareIgnoringCase(std::string_view a, std::string_view b) {
  // ASCII letters fold on their own; the rest of the texts from the first
  // other byte on is upper-cased whole (which keeps byte positions).
  size_t at = 0;
  for (; at < a.size() && at < b.size(); ++at) {
    auto x = static_cast<unsigned char>(a[at]), y = static_cast<unsigned char>(b[at]);
    if (x >= 0x80 || y >= 0x80) {
      int order = UpperCase(a.substr(at)).compare(UpperCase(b.substr(at)));
      return (order > 0) - (order < 0);
    }
    if (x == y) continue;
    if (x >= 'a' && x <= 'z') x -= 0x20;
    if (y >= 'a' && y <= 'z') y -= 0x20;
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

size_t FindIgnoringCase(std::string_view text, std::string_view search) {
  if (search.size() > text.size()) return std::string_view::npos;
  if (search.empty()) return 0;
  if (!IsAscii(search) || !IsAscii(text)) return UpperCase(text).find(UpperCase(search));
  // Names are searched row after row for a placeholder that seldom starts
  // more than once in them: only where its first letter stands (in either
  // case) is the rest compared.
  auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; };
  const char upper = fold(search[0]);
  const char lower = upper >= 'A' && upper <= 'Z' ? static_cast<char>(upper + 0x20) : upper;
  for (size_t at = 0, last = text.size() - search.size(); at <= last; ++at) {
    if (text[at] != upper && text[at] != lower) continue;
    size_t k = 1;
    while (k < search.size() && fold(text[at + k]) == fold(search[k])) ++k;
    if (k == search.size()) return at;
  }
  return std::string_view::npos;
}

}  // namespace zc::platform
