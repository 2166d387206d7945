#include "db/row_pipe.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace zc::db {
namespace {

// Rows cross batch boundaries in order; a failure on either side, at any
// row, reaches the caller and ends the other side instead of leaving it waiting.
TEST(RowPipeTest, RowsArriveInOrderAndEitherSidesFailureEndsBoth) {
  struct Case {
    int rows, producer_fails_at, consumer_fails_at;
    const char* error;  // nullptr: none
  } cases[] = {{0, -1, -1, nullptr},    {1, -1, -1, nullptr},      {1000, -1, -1, nullptr},
               {1000, 600, -1, "read"}, {1000, -1, 3, "stored"},   {1000, -1, 999, "stored"},
               {5, 0, -1, "read"},      {100000, -1, 10, "stored"}};
  for (const Case& c : cases) {
    RowPipe<std::string> pipe(/*batch_rows=*/16, /*max_batches=*/2);
    std::vector<std::string> received;
    std::string error;
    try {
      RunBeside(
          pipe,
          [&] {
            for (int i = 0; i < c.rows; ++i) {
              if (i == c.producer_fails_at) throw std::runtime_error("read");
              pipe.Push("row " + std::to_string(i));
            }
            pipe.Finish();
          },
          [&] {
            for (std::string row; pipe.Pop(row);) {
              if (static_cast<int>(received.size()) == c.consumer_fails_at)
                throw std::runtime_error("stored");
              received.push_back(row);
            }
          });
    } catch (const std::runtime_error& e) {
      error = e.what();
    }
    EXPECT_EQ(error, c.error ? c.error : "") << c.rows;
    if (c.error) continue;
    ASSERT_EQ(received.size(), static_cast<size_t>(c.rows));
    for (int i = 0; i < c.rows; ++i) EXPECT_EQ(received[i], "row " + std::to_string(i));
  }
}

}  // namespace
}  // namespace zc::db
