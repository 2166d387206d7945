// The user interface of a run without a window: a silent start never asks,
// and anything that would still be shown is printed and answered with the
// box's default button.
#pragma once

#include "platform/ui.h"

namespace zc {

class ConsoleUi : public platform::Ui {
 public:
  platform::Answer Show(const platform::MessageBox& box) override;
  void DoEvents() override {}
  void SetBusyPointer(bool) override {}
  void Progress(std::int64_t done, std::int64_t total) override;
  [[noreturn]] void EndProgram(int exit_code) override;

 private:
  int last_percent_ = -1;
};

}  // namespace zc
