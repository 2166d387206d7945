#include "db/packed_rows.h"

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

}  // namespace

void PackedRows::Add(const std::vector<Value>& row) {
  starts_.push_back(bytes_.size());
  Put<std::uint16_t>(bytes_, static_cast<std::uint16_t>(row.size()));
  for (const Value& value : row) {
    switch (value.kind()) {
      case Value::Kind::kNull:
        bytes_ += kNull;
        break;
      case Value::Kind::kBoolean:
        bytes_ += value.AsBoolean() ? kTrue : kFalse;
        break;
      case Value::Kind::kText:
        PutText(bytes_, kText, value.AsText());
        break;
      case Value::Kind::kDate:
        PutText(bytes_, kDate, value.AsText());
        break;
      case Value::Kind::kNumber:
        if (value.IsInteger()) {
          bytes_ += kInteger;
          Put<std::int64_t>(bytes_, value.AsInteger());
        } else {
          bytes_ += kNumber;
          Put<double>(bytes_, value.AsNumber());
        }
        break;
    }
  }
}

std::vector<Value> PackedRows::Row(size_t index) const {
  size_t pos = starts_[index];
  std::vector<Value> row(Take<std::uint16_t>(bytes_, pos));
  for (Value& value : row) {
    switch (bytes_[pos++]) {
      case kFalse:
        value = Value::Boolean(false);
        break;
      case kTrue:
        value = Value::Boolean(true);
        break;
      case kInteger:
        value = Value::Integer(Take<std::int64_t>(bytes_, pos));
        break;
      case kNumber:
        value = Value::Number(Take<double>(bytes_, pos));
        break;
      case kText:
      case kDate: {
        bool date = bytes_[pos - 1] == kDate;
        auto length = Take<std::uint32_t>(bytes_, pos);
        std::string text = bytes_.substr(pos, length);
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
