// Rows handed from one thread to another in batches: copying a table between
// an Access file and SQLite decodes on one processor while the other stores.
// SQLite is only ever used on the caller's thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace zc::db {

// Raised in one side when the other has given up; never leaves RunBeside.
struct PipeAbandoned {};

template <typename Row>
class RowPipe {
 public:
  explicit RowPipe(std::size_t batch_rows = 256, std::size_t max_batches = 8)
      : batch_rows_(batch_rows), max_batches_(max_batches) {}

  // The producer's side. Blocks while the consumer is behind.
  void Push(const Row& row) {
    if (filling_.size() == filled_) filling_.emplace_back();
    filling_[filled_++] = row;  // a recycled row keeps its storage
    if (filled_ == batch_rows_) Send(false);
  }
  void Finish() { Send(true); }

  // The consumer's side: the next row into `row`; false after the last.
  bool Pop(Row& row) {
    if (taken_ == reading_.size()) {
      if (!Receive()) return false;
    }
    std::swap(row, reading_[taken_++]);
    return true;
  }

  // Either side, on failure: the other ends at its next call.
  void Abandon() {
    std::lock_guard lock(mutex_);
    abandoned_ = true;
    changed_.notify_all();
  }

 private:
  void Send(bool last) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return abandoned_ || full_.size() < max_batches_; });
    if (abandoned_) throw PipeAbandoned();
    filling_.resize(filled_);
    full_.push_back(std::move(filling_));
    filling_.clear();
    filled_ = 0;
    if (!spare_.empty()) {
      filling_ = std::move(spare_.back());
      spare_.pop_back();
    }
    finished_ = last;
    changed_.notify_all();
  }

  bool Receive() {
    std::unique_lock lock(mutex_);
    if (!reading_.empty()) spare_.push_back(std::move(reading_));
    reading_.clear();
    taken_ = 0;
    for (;;) {
      changed_.wait(lock, [&] { return abandoned_ || finished_ || !full_.empty(); });
      if (abandoned_) throw PipeAbandoned();
      if (full_.empty()) return false;  // finished, and everything taken
      reading_ = std::move(full_.front());
      full_.pop_front();
      changed_.notify_all();
      if (!reading_.empty()) return true;
      spare_.push_back(std::move(reading_));
    }
  }

  const std::size_t batch_rows_, max_batches_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<Row>> full_;
  std::vector<std::vector<Row>> spare_;  // emptied batches, their rows' storage kept
  bool finished_ = false, abandoned_ = false;
  std::vector<Row> filling_;  // the producer's
  std::size_t filled_ = 0;
  std::vector<Row> reading_;  // the consumer's
  std::size_t taken_ = 0;
};

// Runs `beside` on a thread of its own while `here` runs on this one, the two
// joined by `pipe`. A failure on either side ends both; it is raised here,
// the first real one rather than the other side's giving up.
template <typename Row, typename Beside, typename Here>
void RunBeside(RowPipe<Row>& pipe, Beside&& beside, Here&& here) {
  auto guarded = [&pipe](auto& work, std::exception_ptr& error) {
    try {
      work();
    } catch (const PipeAbandoned&) {
    } catch (...) {
      error = std::current_exception();
      pipe.Abandon();
    }
  };
  std::exception_ptr beside_error, here_error;
  std::thread thread([&] { guarded(beside, beside_error); });
  guarded(here, here_error);
  thread.join();
  if (here_error) std::rethrow_exception(here_error);
  if (beside_error) std::rethrow_exception(beside_error);
}

}  // namespace zc::db
