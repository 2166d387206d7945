#include "errors/command_text.h"

#include "errors/failure.h"
#include "platform/ansi_text.h"
#include "platform/platform.h"

namespace zc {

std::string CommandValue(std::string_view command_line, std::string_view key) {
  // Upper-casing keeps every character's byte length, so positions carry over.
  std::string upper_line = platform::UpperCase(command_line);
  auto found = upper_line.find(platform::UpperCase(key));
  if (found == std::string::npos) return "";
  size_t after_key = found + key.size();
  if (after_key >= command_line.size()) failures::InvalidArgument();
  // Exactly one character, the separator, is skipped, whatever it is.
  size_t value_start = after_key + 1;
  while (value_start < command_line.size() &&
         (static_cast<unsigned char>(command_line[value_start]) & 0xC0) == 0x80) {
    ++value_start;
  }
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

}  // namespace zc
