// CommandValue with arbitrary command lines and keys. The input holds the key
// (ended by "\" and one more character, as FuzzedDataProvider reads strings)
// and then the command line.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "errors/command_text.h"
#include "fuzz_support.h"
#include "platform/ansi_text.h"

namespace {

using zc::fuzz::Printable;
using zc::fuzz::Violated;
using zc::platform::UpperCase;

void CheckValue(const std::string& line, const std::string& key, const std::string& value) {
  const std::string detail =
      "key " + Printable(key) + " in " + Printable(line) + " gave " + Printable(value);
  if (!value.empty() && line.find(value) == std::string::npos) {
    Violated("the value is a piece of the command line, in its own letter case", detail);
  }
  if (value.starts_with(' ') || value.ends_with(' ') || value.find(" /") != std::string::npos) {
    Violated("the value ends before the next key and has no blanks around it", detail);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string key = input.ConsumeRandomLengthString(32);
  const std::string line = input.ConsumeRemainingBytesAsString();

  const std::string upper_key = UpperCase(key);
  const size_t found = UpperCase(line).find(upper_key);
  // A key is a name, whole characters of the code page: a broken byte could
  // match part of an upper-cased character.
  const bool whole_key = zc::platform::FromAnsi(zc::platform::ToAnsi(key)) == key;
  if (whole_key && found != std::string::npos &&
      UpperCase(line.substr(found, key.size())) != upper_key) {
    Violated("the key is found where the command line holds it",
             "key " + Printable(key) + " in " + Printable(line));
  }

  std::string value;
  auto failure = zc::fuzz::FailureOf([&] { value = zc::CommandValue(line, key); });
  if (failure) {
    if (failure->number != zc::failures::kInvalidArgument ||
        !UpperCase(line).ends_with(upper_key)) {
      Violated("only a key at the very end of the line fails",
               "key " + Printable(key) + " in " + Printable(line) + ": " + failure->description);
    }
  } else {
    if (found == std::string::npos && !value.empty()) {
      Violated("an absent key has no value", Printable(line));
    }
    CheckValue(line, key, value);
  }
  // The start-up reads must never fail, whatever the line holds.
  auto start_up = zc::fuzz::FailureOf([&] {
    CheckValue(line, std::string(zc::kKeyLogfile), zc::LogfileOf(line));
    zc::CommandAsksSilent(line);
  });
  if (start_up) Violated("reading the start-up facts never fails", start_up->description);
  return 0;
}
