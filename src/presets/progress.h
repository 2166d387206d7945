// Long work tells the user interface how far it is, at least every hundredth
// of the way, so a window can show it.
#pragma once

#include <algorithm>
#include <cstdint>

#include "platform/ui.h"

namespace zc {

class ProgressReport {
 public:
  ProgressReport(platform::Ui& ui, std::int64_t total)
      : ui_(ui), total_(total), every_(std::max<std::int64_t>(1, total / 100)) {
    ui_.Progress(0, total_);
  }
  void Advance(std::int64_t steps) {
    done_ += steps;
    if (done_ - reported_ >= every_ || done_ == total_) {
      reported_ = done_;
      ui_.Progress(done_, total_);
    }
  }

 private:
  platform::Ui& ui_;
  std::int64_t total_, every_, done_ = 0, reported_ = 0;
};

}  // namespace zc
