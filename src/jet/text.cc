#include "jet/text.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/ansi_text.h"

namespace zc::jet {
namespace {

// Compressed text longer than this is stored uncompressed, as Access does.
constexpr std::size_t kMaxCompressedChars = 1024;

std::string Utf16ToUtf8(const std::vector<std::uint16_t>& units) {
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    std::uint32_t unit = units[i];
    bool high = unit >= 0xD800 && unit <= 0xDBFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      platform::AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      platform::AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
  }
  return out;
}

std::vector<std::uint16_t> PlainUnits(Bytes bytes) {
  std::vector<std::uint16_t> units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
  return units;
}

// After FF FE, runs that a 00 byte toggles between one byte per character
// (the low byte) and two.
std::vector<std::uint16_t> CompressedUnits(Bytes bytes) {
  std::vector<std::uint16_t> units;
  units.reserve(bytes.size());
  bool compressed = true;
  for (std::size_t i = 2; i < bytes.size();) {
    if (bytes[i] == 0) {
      compressed = !compressed;
      ++i;
    } else if (compressed) {
      units.push_back(bytes[i++]);
    } else if (i + 1 < bytes.size()) {
      units.push_back(static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
      i += 2;
    } else {
      break;
    }
  }
  return units;
}

// One code point of UTF-8 from `i` on, moving `i` past it; malformed bytes
// become U+FFFD.
char32_t NextCodePoint(const std::string& utf8, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(utf8[i++]);
  if (lead < 0x80) return lead;
  const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0) return 0xFFFD;
  char32_t code = lead & (0x3F >> extra);
  for (int k = 0; k < extra; ++k, ++i) {
    const auto byte = i < utf8.size() ? static_cast<unsigned char>(utf8[i]) : 0;
    if ((byte & 0xC0) != 0x80) return 0xFFFD;
    code = (code << 6) | (byte & 0x3F);
  }
  return code;
}

bool IsAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

std::vector<std::uint16_t> Utf16Of(const std::string& utf8) {
  std::vector<std::uint16_t> units;
  units.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t code = NextCodePoint(utf8, i);
    if (code >= 0x10000) {
      units.push_back(static_cast<std::uint16_t>(0xD800 + ((code - 0x10000) >> 10)));
      units.push_back(static_cast<std::uint16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<std::uint16_t>(code));
    }
  }
  return units;
}

bool Compressible(const std::vector<std::uint16_t>& units) {
  if (units.size() <= 2 || units.size() > kMaxCompressedChars) return false;
  for (std::uint16_t unit : units) {
    if (unit == 0 || unit > 0xFF) return false;
  }
  return true;
}

// Most names and texts of a plant are plain ASCII: one unit per byte.
void EncodeAscii(const std::string& text, bool may_compress, Blob& out) {
  const bool compress = may_compress && text.size() > 2 && text.size() <= kMaxCompressedChars &&
                        text.find('\0') == std::string::npos;
  if (compress) {
    out.resize(2 + text.size());
    out[0] = 0xFF;
    out[1] = 0xFE;
    std::copy(text.begin(), text.end(), out.begin() + 2);
    return;
  }
  out.assign(2 * text.size(), 0);
  for (std::size_t i = 0; i < text.size(); ++i) out[2 * i] = static_cast<std::uint8_t>(text[i]);
}

Blob Ansi(const std::string& utf8) {
  const std::string ansi = platform::ToAnsi(utf8);
  return Blob(ansi.begin(), ansi.end());
}

}  // namespace

void DecodeText(Bytes bytes, bool jet4, std::string& out) {
  const bool compressed = jet4 && bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
  // Most texts of a plant are ASCII, one byte per character: they read as they are.
  const Bytes single = compressed ? bytes.subspan(2) : bytes;
  if ((compressed || !jet4) && std::all_of(single.begin(), single.end(), [](std::uint8_t byte) {
        return byte != 0 && byte < 0x80;
      })) {
    out.assign(reinterpret_cast<const char*>(single.data()), single.size());
  } else if (!jet4) {
    out = platform::FromAnsi(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } else {
    out = Utf16ToUtf8(compressed ? CompressedUnits(bytes) : PlainUnits(bytes));
  }
}

std::string DecodeText(Bytes bytes, bool jet4) {
  std::string out;
  DecodeText(bytes, jet4, out);
  return out;
}

std::string DecodeName(Bytes bytes, bool jet4) {
  if (!jet4) return DecodeText(bytes, false);
  return Utf16ToUtf8(PlainUnits(bytes));
}

void EncodeText(const std::string& utf8, bool jet4, bool may_compress, Blob& out) {
  if (jet4 && IsAscii(utf8)) return EncodeAscii(utf8, may_compress, out);
  out = EncodeText(utf8, jet4, may_compress);
}

Blob EncodeText(const std::string& utf8, bool jet4, bool may_compress) {
  if (!jet4) return Ansi(utf8);
  Blob out;
  if (IsAscii(utf8)) {
    EncodeAscii(utf8, may_compress, out);
    return out;
  }
  const std::vector<std::uint16_t> units = Utf16Of(utf8);
  if (may_compress && Compressible(units)) {
    out = {0xFF, 0xFE};
    for (std::uint16_t unit : units) out.push_back(static_cast<std::uint8_t>(unit));
    return out;
  }
  for (std::uint16_t unit : units) Push16(out, unit);
  return out;
}

Blob EncodeName(const std::string& utf8, bool jet4) { return EncodeText(utf8, jet4, false); }

std::size_t TextLength(const std::string& utf8, bool jet4) {
  if (IsAscii(utf8)) return utf8.size();
  if (jet4) return Utf16Of(utf8).size();
  std::size_t count = 0;
  for (std::size_t i = 0; i < utf8.size(); ++count) NextCodePoint(utf8, i);
  return count;
}

}  // namespace zc::jet
