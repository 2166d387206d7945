// Reads the user tables of an Access (Jet 3 / Jet 4) .mdb file: each table's
// fields with their Jet types, and every row's values exactly as stored.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "presets/db/jet_values.h"

namespace zc::jet {

// What the first bytes of a file say it is.
enum class FileKind { kOther, kJet3, kJet4, kAce };
FileKind KindOfFile(const std::string& path);

enum class FieldType {
  kBoolean,
  kByte,
  kInteger,
  kLong,
  kCounter,  // a Long AutoNumber
  kCurrency,
  kSingle,
  kDouble,
  kDate,
  kText,
  kBinary,
  kLongBinary,
  kMemo,
  kGuid,
  kDecimal,
};

struct Field {
  std::string name;
  FieldType type = FieldType::kLong;
  int size = 0;  // Text: characters
  int precision = 0;
  int scale = 0;
};

struct Table {
  std::string name;
  std::vector<Field> fields;
  std::int64_t row_count = 0;  // as the table definition records it
};

// The column type our SQLite files declare for a field: "TEXT(50)", "LONG",
// "COUNTER", "DECIMAL(18,4)", ...
std::string DeclaredType(const Field& field);

using RowHandler = std::function<void(const std::vector<Value>&)>;

// An open Jet file. Every failure, a damaged file included, throws
// std::runtime_error with the reason (without the path).
class Reader {
 public:
  explicit Reader(const std::string& path);
  ~Reader();
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  bool jet4() const;
  // The user tables in the order the database lists them.
  const std::vector<Table>& tables() const;
  // Hands every row of tables()[index] to `on_row`, in stored order, one value
  // per field. Fails unless exactly the recorded number of rows was read.
  void ReadRows(std::size_t index, const RowHandler& on_row);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace zc::jet
