#include "errors/command_text.h"

#include "errors/failure.h"
#include "platform/ansi_text.h"
#include "platform/platform.h"

namespace zc {
namespace {

// Where "/" separates folders, a value runs on to the next key and may hold
// any text, a key's name too: "/LOGFILE=/mnt/External/x.txt". Elsewhere every
// "/" ends a value, and a key is wherever its name first stands.
bool ValuesMayHoldKeys() { return platform::Separator() == '/'; }

// Exactly one character after the key, the separator, is skipped, whatever it is.
size_t ValueStart(std::string_view line, size_t after_key) {
  size_t start = after_key + 1;
  while (start < line.size() && (static_cast<unsigned char>(line[start]) & 0xC0) == 0x80) ++start;
  return start;
}

// Where a value that starts at `start` ends on the line: at the next key, a
// "/" after a blank, once the blanks in front of the value are passed.
size_t ValueEnd(std::string_view line, size_t start) {
  size_t text = line.find_first_not_of(' ', start);
  return text == std::string_view::npos ? text : line.find(" /", text);
}

// Where `upper_key` stands as a key on the upper-cased line, skipping every
// hit inside the value of a key of the vocabulary found before it.
size_t FindKey(std::string_view upper_line, std::string_view upper_key) {
  if (!ValuesMayHoldKeys()) return upper_line.find(upper_key);
  for (size_t from = 0; from < upper_line.size();) {
    size_t hit = upper_line.find(upper_key, from);
    size_t other_hit = std::string_view::npos, other_end = 0;
    for (std::string_view other : {kKeyExternal, kKeyLogfile}) {
      size_t at = upper_line.find(other, from);
      if (other != upper_key && at < hit && at < other_hit) {
        other_hit = at;
        other_end = at + other.size();
      }
    }
    // A hit within the other key's own name is no hit inside its value.
    if (other_hit == std::string_view::npos || hit < other_end) return hit;
    if (other_end >= upper_line.size()) return std::string_view::npos;
    from = ValueEnd(upper_line, ValueStart(upper_line, other_end));
  }
  return std::string_view::npos;
}

}  // namespace

std::string CommandValue(std::string_view command_line, std::string_view key) {
  // Upper-casing keeps every character's byte length, so positions carry over.
  std::string upper_line = platform::UpperCase(command_line);
  auto found = FindKey(upper_line, platform::UpperCase(key));
  if (found == std::string::npos) return "";
  size_t after_key = found + key.size();
  if (after_key >= command_line.size()) failures::InvalidArgument();
  size_t value_start = ValueStart(command_line, after_key);
  return platform::EndCommandValue(std::string(command_line.substr(value_start)));
}

std::string LogfileOf(std::string_view command_line) {
  try {
    return CommandValue(command_line, kKeyLogfile);
  } catch (const Failure&) {
    return "";
  }
}

bool CommandAsksSilent(std::string_view command_line) {
  try {
    return platform::UpperCase(CommandValue(command_line, kKeyExternal)) == kExternalSilent;
  } catch (const Failure&) {
    return false;
  }
}

bool CommandAsksPreview(std::string_view command_line) {
  // A word of its own, so that a folder named "preview" in a path is no key.
  const std::string upper = platform::UpperCase(command_line);
  for (size_t at = upper.find(kKeyPreview); at != std::string::npos;
       at = upper.find(kKeyPreview, at + 1)) {
    size_t end = at + kKeyPreview.size();
    if ((at == 0 || upper[at - 1] == ' ') && (end == upper.size() || upper[end] == ' ')) {
      return true;
    }
  }
  return false;
}

}  // namespace zc
