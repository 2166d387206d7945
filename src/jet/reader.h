// Reads the user tables of an Access (Jet 3 / Jet 4) .mdb file: each table's
// fields with their types, and every row's values exactly as stored.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jet/field.h"
#include "jet/values.h"

namespace zc::jet {

struct Cell;

struct Table {
  std::string name;
  std::vector<Field> fields;
  std::int64_t row_count = 0;  // as the table definition records it
};

using RowHandler = std::function<void(const std::vector<Value>&)>;

// An open Jet file. Every failure, a damaged file included, throws
// jet::Error with the reason (without the path).
class Reader {
 public:
  explicit Reader(const std::string& path);
  ~Reader();
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  bool jet4() const;
  // The user tables in the order the catalog lists them.
  const std::vector<Table>& tables() const;
  // Hands every row of tables()[index] to `on_row`, in stored order, one value
  // per field. Fails unless exactly the recorded number of rows was read.
  void ReadRows(std::size_t index, const RowHandler& on_row);
  // Walks the rows of tables()[index] as ReadRows does, through the page
  // maps, row addresses and value offsets, without decoding the values.
  void CheckRows(std::size_t index);

 private:
  void WalkRows(std::size_t index, const std::function<void(const std::vector<Cell>&)>& visit);

  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace zc::jet
