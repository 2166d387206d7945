#include "settings/ini.h"

#include <cctype>
#include <map>
#include <memory>

#include "errors/procedure.h"
#include "platform/ansi_text.h"
#include "platform/platform.h"
#include "settings/ini_file.h"

namespace zc {
namespace {

constexpr size_t kMaxValueLength = 254;  // a 255-character buffer with its terminator

// The entries of a file, parsed again only when the file changed: a file
// asked for entry after entry is parsed once. Null when it cannot be read.
std::shared_ptr<const settings::IniIndex> IndexOf(const std::string& file) {
  struct Cached {
    platform::FileStamp stamp;
    std::shared_ptr<const settings::IniIndex> index;
  };
  static std::map<std::string, Cached> cache;
  std::optional<platform::FileStamp> stamp = platform::StampOf(file);
  if (!stamp) return nullptr;
  auto found = cache.find(file);
  if (found != cache.end() && found->second.stamp == *stamp) return found->second.index;
  std::optional<std::string> bytes = platform::ReadWholeFile(file);
  if (!bytes) return nullptr;
  if (cache.size() >= 16) cache.clear();
  auto index = std::make_shared<const settings::IniIndex>(platform::DecodeText(*bytes).utf8);
  cache.insert_or_assign(file, Cached{*stamp, index});
  return index;
}

// The value of an entry, nullopt when it is missing.
std::optional<std::string> ValueIn(const settings::IniIndex* index, const std::string& section,
                                   const std::string& entry) {
  if (index == nullptr) return std::nullopt;
  auto value = index->Find(section, entry);
  if (value) *value = platform::FirstCharacters(*value, kMaxValueLength);
  return value;
}

std::optional<std::string> ReadValue(const std::string& section, const std::string& entry,
                                     const std::string& file) {
  return ValueIn(IndexOf(file).get(), section, entry);
}

// True only for "true" in any letter case.
bool IsTrue(const std::optional<std::string>& value) {
  return platform::UpperCase(value.value_or("")) == "TRUE";
}

// Optional sign and leading digits, as the Windows integer reader takes them.
std::int64_t LeadingInteger(const std::string& text) {
  size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
  std::int64_t value = 0;
  for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos) {
    if (value < (std::int64_t{1} << 40)) value = value * 10 + (text[pos] - '0');
  }
  return negative ? -value : value;
}

// Why the entry could not be written; empty when it was. The file keeps its
// encoding and byte order mark.
std::string WriteEntry(const std::string& Value, const std::string& Section,
                       const std::string& Entry, const std::string& File) {
  std::optional<std::string> bytes = platform::ReadWholeFile(File);
  // A file that is there but cannot be read must not be written over.
  if (!bytes && platform::PathExists(File)) return "it cannot be read";
  platform::DecodedText text = platform::DecodeText(bytes.value_or(""));
  std::string changed = settings::SetIniValue(text.utf8, Section, Entry, Value);
  return platform::WriteWholeFile(File, platform::EncodeText(changed, text.encoding));
}

}  // namespace

std::string LoadIniString(Run& run, const std::string& Section, const std::string& Entry,
                          const std::string& File) {
  Procedure proc(run, "LoadIniString");
  std::string result;
  proc.Step([&] { result = ReadValue(Section, Entry, File).value_or(""); });
  return result;
}

std::int16_t LoadIniInteger(Run& run, const std::string& Section, const std::string& Entry,
                            const std::string& File) {
  Procedure proc(run, "LoadIniInteger");
  std::int16_t result = 0;
  proc.Step([&] {
    std::optional<std::string> text = ReadValue(Section, Entry, File);
    std::int64_t value = text && !text->empty() ? LeadingInteger(*text) : -1;
    if (value < INT16_MIN || value > INT16_MAX) failures::Overflow();
    result = static_cast<std::int16_t>(value);
  });
  return result;
}

bool LoadIniBoolean(Run& run, const std::string& Section, const std::string& Entry,
                    const std::string& File) {
  Procedure proc(run, "LoadIniBoolean");
  bool result = false;
  proc.Step([&] { result = IsTrue(ReadValue(Section, Entry, File)); });
  return result;
}

void SaveIni(Run& run, const std::string& Value, const std::string& Section,
             const std::string& Entry, const std::string& File) {
  Procedure proc(run, "SaveIni");
  proc.Step([&] {
    // A refused write used to pass unnoticed, so a stamp or setting seemed
    // stored that was not; now it is reported like any failure.
    std::string error = WriteEntry(Value, Section, Entry, File);
    if (!error.empty()) {
      throw Failure(failures::kFileAccess,
                    "Path/File access error: " + File + " could not be written (" + error + ")");
    }
  });
}

void SaveIniQuietly(const std::string& Value, const std::string& Section, const std::string& Entry,
                    const std::string& File) {
  WriteEntry(Value, Section, Entry, File);  // a refusal is no failure here
}

IniEntries::IniEntries(const std::string& File) : index_(IndexOf(File)) {}

std::string IniEntries::String(const std::string& Section, const std::string& Entry) const {
  return ValueIn(index_.get(), Section, Entry).value_or("");
}

bool IniEntries::Boolean(const std::string& Section, const std::string& Entry) const {
  return IsTrue(ValueIn(index_.get(), Section, Entry));
}

}  // namespace zc
