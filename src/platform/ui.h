// The one door to the user: every dialog, the pointer, pending events and the
// end of the program pass through it. The window front end implements it with
// real message boxes; tests use a scripted double; a silent run never asks.
#pragma once

#include <cstdint>
#include <string>

namespace zc::platform {

enum class Buttons { kOk, kYesNo };
enum class Icon { kInformation, kExclamation, kCritical };
enum class Answer { kNone, kOk, kYes, kNo };

struct MessageBox {
  std::string text;   // exactly the system's text, line breaks as they stand
  std::string title;  // empty: the application's default title
  Buttons buttons = Buttons::kOk;
  Icon icon = Icon::kInformation;
  Answer default_button = Answer::kOk;
};

class Ui {
 public:
  virtual ~Ui() = default;
  // Shows a modal message box and waits for the answer.
  virtual Answer Show(const MessageBox& box) = 0;
  // Lets pending window events run (redraws, clicks) from inside long work.
  virtual void DoEvents() = 0;
  // Hourglass while the work runs, the default pointer afterwards.
  virtual void SetBusyPointer(bool busy) = 0;
  // Long work reports how far it is; `total` may be 0 when nothing is to do.
  virtual void Progress(std::int64_t done, std::int64_t total) = 0;
  // Ends the program at once: nothing of the program runs afterwards.
  [[noreturn]] virtual void EndProgram(int exit_code) = 0;
};

}  // namespace zc::platform
