// A failure as every layer raises it: number, source and description, the
// three facts the error routine reports.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace zc {

struct Failure : std::exception {
  Failure(std::int32_t number, std::string description, std::string source = "")
      : number(number), source(std::move(source)), description(std::move(description)) {}
  const char* what() const noexcept override { return description.c_str(); }

  std::int32_t number;
  std::string source;  // empty: the program itself, reported under its executable name
  std::string description;
};

// The run-time failures the program raises itself, with their usual numbers.
namespace failures {
constexpr std::int32_t kInvalidArgument = 5;    // "Invalid procedure call or argument"
constexpr std::int32_t kOverflow = 6;           // "Overflow"
constexpr std::int32_t kOutOfMemory = 7;        // "Out of memory"
constexpr std::int32_t kSubscript = 9;          // "Subscript out of range"
constexpr std::int32_t kTypeMismatch = 13;      // "Type mismatch"
constexpr std::int32_t kInternal = 51;          // "Internal error"
constexpr std::int32_t kInvalidUseOfNull = 94;  // "Invalid use of Null"
constexpr std::int32_t kFileAccess = 75;        // "Path/File access error"
constexpr std::int32_t kFileInUse = 3045;       // Jet's "file already in use"

[[noreturn]] inline void InvalidArgument() {
  throw Failure(kInvalidArgument, "Invalid procedure call or argument");
}
[[noreturn]] inline void Overflow() { throw Failure(kOverflow, "Overflow"); }
[[noreturn]] inline void SubscriptOutOfRange() {
  throw Failure(kSubscript, "Subscript out of range");
}
[[noreturn]] inline void TypeMismatch() { throw Failure(kTypeMismatch, "Type mismatch"); }
[[noreturn]] inline void InvalidUseOfNull() {
  throw Failure(kInvalidUseOfNull, "Invalid use of Null");
}
}  // namespace failures

}  // namespace zc
