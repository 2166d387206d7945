// A user-interface double for tests: it records every message box, answers
// from a script and turns the end of the program into an exception that the
// test catches, so the test process lives on.
#pragma once

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "platform/ui.h"

namespace zc::platform {

// Thrown by ScriptedUi::EndProgram. Not a std::exception on purpose: the
// program's failure handlers catch those, and the end must pass them all.
struct ProgramEnded {
  int exit_code = 0;
};

// Thrown when a message box appears that the test did not script.
struct UnscriptedMessageBox {
  MessageBox box;
};

class ScriptedUi : public Ui {
 public:
  // Answers for the coming message boxes, in order. Answer::kNone is a box
  // left with Esc or its close box, as the real message boxes report it.
  void Script(std::initializer_list<Answer> answers) { script_.insert(script_.end(), answers); }

  Answer Show(const MessageBox& box) override;
  void DoEvents() override {}
  void SetBusyPointer(bool busy) override { pointer_changes.push_back(busy); }
  void Progress(std::int64_t done, std::int64_t total) override {
    progress.emplace_back(done, total);
  }
  [[noreturn]] void EndProgram(int exit_code) override;

  std::vector<MessageBox> shown;
  std::vector<bool> pointer_changes;
  std::vector<std::pair<std::int64_t, std::int64_t>> progress;
  int exit_code = -1;  // set when the program ended

 private:
  std::deque<Answer> script_;
};

}  // namespace zc::platform
