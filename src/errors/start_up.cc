#include "errors/start_up.h"

#include "errors/command_text.h"
#include "errors/procedure.h"
#include "platform/ansi_text.h"

namespace zc {

std::string ReadCommand(Run& run, std::string_view command_line, std::string_view key) {
  Procedure proc(run, "ReadCommand");
  std::string value;
  proc.Step([&] { value = CommandValue(command_line, key); });
  return value;
}

bool GetStartModeIntegrated(Run& run) {
  Procedure proc(run, "GetStartModeIntegrated");
  std::string value;
  proc.Step([&] {
    value = platform::UpperCase(ReadCommand(run, run.process.command_line, kKeyExternal));
  });
  bool integrated = value == kExternalIntegrated;
  run.IntegratedMode = integrated;
  run.SilentMode = value == kExternalSilent;
  return integrated;
}

std::string GetOCXName(Run& run) {
  Procedure proc(run, "GetOCXName");
  std::string name;
  proc.Step([&] {
    auto component = run.ComponentName();
    if (!component) failures::InvalidArgument();
    name = *component;
  });
  return name;
}

}  // namespace zc
