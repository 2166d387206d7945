// INI text as the Windows private-profile functions read and write it. Works
// on the file's text in UTF-8, whatever its encoding on disk; names match
// without regard to case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zc::settings {

// Every entry of an INI text, for looking up many entries of one file.
class IniIndex {
 public:
  explicit IniIndex(std::string_view text);
  // The value of `entry` in `section`: blanks around it trimmed and one pair
  // of matching quotes removed. nullopt when the section or entry is missing.
  // Lines starting with ";" are comments; the first of two equal entries
  // counts, and only the first section of a name.
  std::optional<std::string> Find(std::string_view section, std::string_view entry) const;

 private:
  std::unordered_map<std::string, std::unordered_map<std::string, std::string>> sections_;
};

// `text` with `entry` of `section` set to `value`. An existing entry keeps its
// line and only its value changes; a new entry goes after the last line of
// its section, a new section at the end. Every other byte stays as it was.
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view entry,
                        std::string_view value);

}  // namespace zc::settings
