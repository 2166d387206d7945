// IniIndex and SetIniValue on arbitrary bytes, and the decoding of a file's
// text by its byte order mark. The input holds the
// section, entry and value (each ended by "\" and one more character, as
// FuzzedDataProvider reads strings) and then the INI text.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "platform/ansi_text.h"
#include "settings/ini_file.h"

namespace {

using zc::fuzz::Printable;
using zc::fuzz::Violated;
using zc::settings::IniIndex;
using zc::settings::SetIniValue;

constexpr std::string_view kBlanks = " \t";

bool HasAny(std::string_view text, std::string_view bytes) {
  return text.find_first_of(bytes) != std::string_view::npos;
}

bool PaddedWith(std::string_view text, std::string_view bytes) {
  return !text.empty() && (bytes.find(text.front()) != std::string_view::npos ||
                           bytes.find(text.back()) != std::string_view::npos);
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && zc::platform::UpperCase(a) == zc::platform::UpperCase(b);
}

// Names the program could write: one line each, no blanks around them, and
// nothing that would make the line a header or a comment.
bool UsableNames(std::string_view section, std::string_view entry) {
  return !HasAny(section, "\r\n]") && !PaddedWith(section, kBlanks) && !entry.empty() &&
         !HasAny(entry, "\r\n=") && !PaddedWith(entry, kBlanks) && entry.front() != ';' &&
         entry.front() != '[';
}

// A value that reads back exactly as written.
bool PlainValue(std::string_view value) {
  return !HasAny(value, "\r\n") && !PaddedWith(value, " \t\"'");
}

// Every header name and every key of the text, a few of each.
std::vector<std::pair<std::string, std::string>> NamesIn(std::string_view text) {
  std::vector<std::string> sections, keys;
  for (size_t begin = 0; begin < text.size();) {
    size_t end = std::min(text.find('\n', begin), text.size());
    std::string_view line = text.substr(begin, end - begin);
    auto first = line.find_first_not_of(kBlanks);
    if (first != std::string_view::npos && line[first] == '[' && sections.size() < 8) {
      std::string_view name = line.substr(first + 1, line.find(']') - first - 1);
      auto from = name.find_first_not_of(kBlanks);
      name = from == std::string_view::npos ? "" : name.substr(from);
      sections.emplace_back(name.substr(0, name.find_last_not_of(kBlanks) + 1));
    } else if (line.find('=') != std::string_view::npos && keys.size() < 16) {
      std::string_view key = line.substr(0, line.find('='));
      auto from = key.find_first_not_of(kBlanks);
      key = from == std::string_view::npos ? "" : key.substr(from);
      keys.emplace_back(key.substr(0, key.find_last_not_of(kBlanks) + 1));
    }
    begin = end + 1;
  }
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const auto& section : sections) {
    for (const auto& key : keys) pairs.emplace_back(section, key);
  }
  return pairs;
}

// Only one line may change: what SetIniValue removed lies within one line.
void CheckOnlyOneLineChanged(std::string_view before, std::string_view after) {
  size_t prefix = 0;
  size_t shorter = std::min(before.size(), after.size());
  while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
  size_t suffix = 0;
  while (suffix < shorter - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  std::string_view removed = before.substr(prefix, before.size() - prefix - suffix);
  if (removed.find('\n') != std::string_view::npos) {
    Violated("bytes outside the touched line are kept", Printable(removed));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(64);
  const std::string entry = input.ConsumeRandomLengthString(64);
  const std::string value = input.ConsumeRandomLengthString(64);
  const std::string text = input.ConsumeRemainingBytesAsString();

  // The file's own bytes: whatever its encoding, a text read and written
  // unchanged stays as it was (UTF-16 up to its broken units).
  using zc::platform::TextEncoding;
  const zc::platform::DecodedText decoded = zc::platform::DecodeText(text);
  const std::string encoded = zc::platform::EncodeText(decoded.utf8, decoded.encoding);
  const bool utf16 =
      decoded.encoding == TextEncoding::kUtf16Le || decoded.encoding == TextEncoding::kUtf16Be;
  if (utf16 ? zc::platform::DecodeText(encoded).utf8 != decoded.utf8 : encoded != text) {
    Violated("a file read and written unchanged keeps its bytes", Printable(text));
  }

  const auto old_value = IniIndex(text).Find(section, entry);
  const std::string changed = SetIniValue(text, section, entry, value);
  CheckOnlyOneLineChanged(text, changed);
  if (!UsableNames(section, entry) || HasAny(value, "\r\n")) return 0;

  const std::string detail = "[" + Printable(section) + "] " + Printable(entry) + "=" +
                             Printable(value) + "\nin: " + Printable(text) +
                             "\nout: " + Printable(changed);
  if (old_value && std::count(changed.begin(), changed.end(), '\n') !=
                       std::count(text.begin(), text.end(), '\n')) {
    Violated("an existing entry keeps its line", detail);
  }
  for (const auto& [other_section, other_entry] : NamesIn(text)) {
    if (SameName(other_section, section) && SameName(other_entry, entry)) continue;
    if (IniIndex(text).Find(other_section, other_entry) !=
        IniIndex(changed).Find(other_section, other_entry)) {
      Violated("other entries read as before",
               "[" + Printable(other_section) + "] " + Printable(other_entry) + "\n" + detail);
    }
  }
  if (!PlainValue(value)) return 0;
  if (IniIndex(changed).Find(section, entry) != value) {
    Violated("the value reads back as written", detail);
  }
  if (SetIniValue(changed, section, entry, value) != changed) {
    Violated("writing the same value again changes nothing", detail);
  }
  return 0;
}
