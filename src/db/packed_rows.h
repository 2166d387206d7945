// Rows of values held compactly in one buffer: a million earlier rows of
// eight values take about a hundred bytes each instead of several hundred.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/value.h"

namespace zc::db {

class PackedRows {
 public:
  void Add(const std::vector<Value>& row);
  size_t size() const { return starts_.size(); }
  std::vector<Value> Row(size_t index) const;

 private:
  std::string bytes_;
  std::vector<std::uint64_t> starts_;
};

}  // namespace zc::db
