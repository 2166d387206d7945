// Rows of values held compactly in one buffer: a million earlier rows of
// eight values take about a hundred bytes each instead of several hundred.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "db/value.h"

namespace zc::db {

class PackedRows {
 public:
  void Add(const std::vector<Value>& row);
  size_t size() const { return starts_.size(); }
  std::vector<Value> Row(size_t index) const;

 private:
  // Rows are packed into blocks of about a megabyte that never grow past
  // their first size, so a block is never moved, nor its memory touched
  // twice.
  std::vector<std::string> blocks_;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> starts_;  // block, offset
  std::string row_;                                              // the row being packed
};

}  // namespace zc::db
