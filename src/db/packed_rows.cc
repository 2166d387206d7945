#include "db/packed_rows.h"

#include <algorithm>
#include <cstring>

namespace zc::db {
namespace {

enum Tag : char { kNull, kFalse, kTrue, kInteger, kNumber, kText, kDate };

template <typename T>
void Put(std::string& out, T value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
T Take(const std::string& in, size_t& pos) {
  T value;
  std::memcpy(&value, in.data() + pos, sizeof value);
  pos += sizeof value;
  return value;
}

void PutText(std::string& out, Tag tag, const std::string& text) {
  out += tag;
  Put<std::uint32_t>(out, static_cast<std::uint32_t>(text.size()));
  out += text;
}

// A row as bytes: its length, then each value's tag and content.
void Pack(std::string& out, const std::vector<Value>& row) {
  Put<std::uint16_t>(out, static_cast<std::uint16_t>(row.size()));
  for (const Value& value : row) {
    switch (value.kind()) {
      case Value::Kind::kNull:
        out += kNull;
        break;
      case Value::Kind::kBoolean:
        out += value.AsBoolean() ? kTrue : kFalse;
        break;
      case Value::Kind::kText:
        PutText(out, kText, value.AsText());
        break;
      case Value::Kind::kDate:
        PutText(out, kDate, value.AsText());
        break;
      case Value::Kind::kNumber:
        if (value.IsInteger()) {
          out += kInteger;
          Put<std::int64_t>(out, value.AsInteger());
        } else {
          out += kNumber;
          Put<double>(out, value.AsNumber());
        }
        break;
    }
  }
}

}  // namespace

void PackedRows::Add(const std::vector<Value>& row) {
  row_.clear();
  Pack(row_, row);
  constexpr size_t kBlock = 1 << 20;
  if (blocks_.empty() || blocks_.back().size() + row_.size() > blocks_.back().capacity()) {
    blocks_.emplace_back().reserve(std::max(kBlock, row_.size()));
  }
  starts_.emplace_back(static_cast<std::uint32_t>(blocks_.size() - 1),
                       static_cast<std::uint32_t>(blocks_.back().size()));
  blocks_.back() += row_;
}

std::vector<Value> PackedRows::Row(size_t index) const {
  const std::string& block = blocks_[starts_[index].first];
  size_t pos = starts_[index].second;
  std::vector<Value> row(Take<std::uint16_t>(block, pos));
  for (Value& value : row) {
    switch (block[pos++]) {
      case kFalse:
        value = Value::Boolean(false);
        break;
      case kTrue:
        value = Value::Boolean(true);
        break;
      case kInteger:
        value = Value::Integer(Take<std::int64_t>(block, pos));
        break;
      case kNumber:
        value = Value::Number(Take<double>(block, pos));
        break;
      case kText:
      case kDate: {
        bool date = block[pos - 1] == kDate;
        auto length = Take<std::uint32_t>(block, pos);
        std::string text = block.substr(pos, length);
        pos += length;
        value = date ? Value::Date(std::move(text)) : Value::Text(std::move(text));
        break;
      }
      default:
        break;
    }
  }
  return row;
}

}  // namespace zc::db
