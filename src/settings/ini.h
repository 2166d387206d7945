// Single entries of INI files: the project's settings, the component's
// configuration file and the language file. Every call reads or writes the
// file afresh; a missing file, section or entry reads as "", -1 or False. A
// file is Windows-1252 unless a byte order mark makes it UTF-8 or UTF-16, and
// a write keeps its encoding.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "errors/run.h"

namespace zc {
namespace settings {
class IniIndex;
}

// Values longer than 254 characters are cut to their first 254.
std::string LoadIniString(Run& run, const std::string& Section, const std::string& Entry,
                          const std::string& File);
// A 16-bit integer; -1 when missing. A value outside -32768..32767 is an
// overflow failure, 0 when resumed.
std::int16_t LoadIniInteger(Run& run, const std::string& Section, const std::string& Entry,
                            const std::string& File);
// True only for "true" in any letter case.
bool LoadIniBoolean(Run& run, const std::string& Section, const std::string& Entry,
                    const std::string& File);
// Writes the entry, creating file and section as needed. A write the file
// system refuses (a read-only file or folder) is reported as a failure.
void SaveIni(Run& run, const std::string& Value, const std::string& Section,
             const std::string& Entry, const std::string& File);
// Writes the entry like SaveIni where the file system allows it and reports
// nothing: for entries the program does as well without (the language file's
// seeds), which a read-only file or folder must not turn into failures.
void SaveIniQuietly(const std::string& Value, const std::string& Section, const std::string& Entry,
                    const std::string& File);

// The entries of one file as it reads now, for a procedure that looks up many
// entries of a file that nothing writes meanwhile (a machine list, the
// machines' flags): the file is found and read once instead of once per
// entry. Each lookup gives what LoadIniString or LoadIniBoolean gives now.
class IniEntries {
 public:
  explicit IniEntries(const std::string& File);
  std::string String(const std::string& Section, const std::string& Entry) const;
  bool Boolean(const std::string& Section, const std::string& Entry) const;

 private:
  std::shared_ptr<const settings::IniIndex> index_;  // null for a file that cannot be read
};

}  // namespace zc
