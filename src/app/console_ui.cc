#include "app/console_ui.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace zc {
namespace {

// The program's line breaks (LF CR or CR LF) as one newline on a terminal.
std::string ForTerminal(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    bool pair = i + 1 < text.size() && ((text[i] == '\n' && text[i + 1] == '\r') ||
                                        (text[i] == '\r' && text[i + 1] == '\n'));
    if (pair) {
      out += '\n';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

platform::Answer ConsoleUi::Show(const platform::MessageBox& box) {
  std::fprintf(stderr, "[%s] %s\n", box.title.c_str(), ForTerminal(box.text).c_str());
  return box.default_button;
}

void ConsoleUi::Progress(std::int64_t done, std::int64_t total) {
  if (!platform::StandardErrorIsTerminal()) return;  // a log file wants no progress bar
  int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
  if (percent == last_percent_) return;
  last_percent_ = percent;
  std::fprintf(stderr, "\r%3d%%%s", percent, percent == 100 ? "\n" : "");
}

void ConsoleUi::EndProgram(int exit_code) {
  std::fflush(nullptr);
  std::_Exit(exit_code);
}

}  // namespace zc
