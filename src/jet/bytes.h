// Little-endian numbers in page buffers, and the one failure type of the Jet
// code. Every read is bounds-checked: a damaged file must end in a clear
// failure, never in a read beyond a buffer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace zc::jet {

using Bytes = std::span<const std::uint8_t>;
using Blob = std::vector<std::uint8_t>;

// What went wrong, so that callers can word it for the user. kDoesNotFit: a
// value (or a name, a row) that its field, column or page cannot hold.
enum class ErrorKind { kDamaged, kUnsupported, kIo, kDoesNotFit };

struct Error : std::runtime_error {
  Error(ErrorKind kind, const std::string& what) : std::runtime_error(what), kind(kind) {}
  ErrorKind kind;
};

[[noreturn]] inline void Damaged(const std::string& what) {
  throw Error(ErrorKind::kDamaged, "the file is damaged or incomplete (" + what + ")");
}
[[noreturn]] inline void Unsupported(const std::string& what) {
  throw Error(ErrorKind::kUnsupported, what);
}
[[noreturn]] inline void DoesNotFit(const std::string& what) {
  throw Error(ErrorKind::kDoesNotFit, what);
}

inline void CheckRange(Bytes bytes, std::size_t at, std::size_t count) {
  if (at > bytes.size() || count > bytes.size() - at) Damaged("a value reaches beyond its page");
}

// The `count` bytes at `at`, and a run of bytes written at `at`: the forms
// every copy between page, row and value buffers goes through.
inline Bytes Slice(Bytes bytes, std::size_t at, std::size_t count) {
  CheckRange(bytes, at, count);
  return bytes.subspan(at, count);
}
inline void PutBytes(Blob& bytes, std::size_t at, Bytes from) {
  CheckRange(bytes, at, from.size());
  std::copy(from.begin(), from.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

inline std::uint32_t Get8(Bytes bytes, std::size_t at) {
  CheckRange(bytes, at, 1);
  return bytes[at];
}
inline std::uint32_t Get16(Bytes bytes, std::size_t at) {
  CheckRange(bytes, at, 2);
  return bytes[at] | (bytes[at + 1] << 8);
}
inline std::uint32_t Get24(Bytes bytes, std::size_t at) {
  CheckRange(bytes, at, 3);
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16);
}
inline std::uint32_t Get32(Bytes bytes, std::size_t at) {
  CheckRange(bytes, at, 4);
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
         (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}
inline std::uint64_t Get64(Bytes bytes, std::size_t at) {
  return Get32(bytes, at) | (static_cast<std::uint64_t>(Get32(bytes, at + 4)) << 32);
}

inline void Put8(Blob& bytes, std::size_t at, std::uint32_t value) {
  CheckRange(bytes, at, 1);
  bytes[at] = static_cast<std::uint8_t>(value);
}
inline void Put16(Blob& bytes, std::size_t at, std::uint32_t value) {
  CheckRange(bytes, at, 2);
  bytes[at] = static_cast<std::uint8_t>(value);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
inline void Put24(Blob& bytes, std::size_t at, std::uint32_t value) {
  Put16(bytes, at, value & 0xFFFF);
  Put8(bytes, at + 2, value >> 16);
}
inline void Put32(Blob& bytes, std::size_t at, std::uint32_t value) {
  Put16(bytes, at, value & 0xFFFF);
  Put16(bytes, at + 2, value >> 16);
}
inline void Put64(Blob& bytes, std::size_t at, std::uint64_t value) {
  Put32(bytes, at, static_cast<std::uint32_t>(value));
  Put32(bytes, at + 4, static_cast<std::uint32_t>(value >> 32));
}

// Appending forms, for building rows and definitions.
inline void Push16(Blob& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
inline void Push32(Blob& out, std::uint32_t value) {
  Push16(out, value & 0xFFFF);
  Push16(out, value >> 16);
}

// The highest page number: a row's address keeps it in three bytes.
constexpr std::uint32_t kMaxPage = 0xFFFFFF;

// A row or page address as Jet keeps it: the page in the upper three bytes,
// the row in the lowest.
struct RowId {
  std::uint32_t page = 0;
  std::uint32_t row = 0;
  static RowId Of(std::uint32_t page_row) { return {page_row >> 8, page_row & 0xFF}; }
  std::uint32_t Packed() const { return (page << 8) | row; }
  bool operator==(const RowId&) const = default;
  auto operator<=>(const RowId&) const = default;
};

}  // namespace zc::jet
