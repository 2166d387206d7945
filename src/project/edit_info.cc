#include "project/edit_info.h"

#include <cstdio>
#include <string>

#include "errors/procedure.h"
#include "platform/ansi_text.h"
#include "project/component_files.h"
#include "settings/ini.h"

namespace zc {
namespace {

std::string ProgramStamp(const ProjectRun& run) {
  const platform::Version& version = run.process.version;
  return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
         std::to_string(version.revision) +
         (run.IntegratedMode ? " - Integrated" : " - Standalone");
}

// The value of a "NAME=value" entry; the whole entry when it holds no "=".
std::string EditorSource(const std::string& entry) {
  auto equals = entry.find('=');
  return equals == std::string::npos ? entry : entry.substr(equals + 1);
}

// Each character but "-" and "_" as its Windows-1252 code plus 5, in
// upper-case hex without leading zeros.
std::string EncodeEditor(const std::string& source) {
  std::string encoded;
  for (unsigned char code : platform::ToAnsi(source)) {
    if (code == '-' || code == '_') continue;
    char digits[8];
    std::snprintf(digits, sizeof digits, "%X", code + 5u);
    encoded += digits;
  }
  return encoded;
}

}  // namespace

void WriteEditInfo(ProjectRun& run) {
  Procedure proc(run, "WriteEditInfo");
  std::string prog;
  std::string editor;
  proc.Step([&] { prog = ProgramStamp(run); });
  proc.Step([&] { SaveIni(run, prog, "Info", "S_Prog", GetCFGPath(run)); });
  proc.Step([&] { editor = EncodeEditor(EditorSource(run.process.first_environment_entry)); });
  proc.Step([&] { SaveIni(run, editor, "Info", "S_Editor", GetCFGPath(run)); });
}

}  // namespace zc
