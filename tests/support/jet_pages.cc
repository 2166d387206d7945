#include "support/jet_pages.h"

#include <algorithm>
#include <stdexcept>

namespace zc::testing::jet4 {
namespace {

// Data pages: the row count, then each row's offset; rows fill the page from
// its end towards these offsets.
constexpr std::size_t kRowCount = 0x0c;
constexpr std::size_t kRowOffsets = 0x0e;
constexpr std::size_t kMaxRowsPerPage = 255;  // a row pointer has one byte for it
// Table definitions: the fixed part, then 25 bytes per column.
constexpr std::size_t kColumnsStart = 0x3f;
constexpr std::size_t kUsageMapBytes = 64;

void Append16(Bytes& bytes, std::uint32_t value) {
  bytes.push_back(value & 0xff);
  bytes.push_back((value >> 8) & 0xff);
}

void Append(Bytes& bytes, const Bytes& more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
}

[[noreturn]] void Unwritable(const std::string& text) {
  throw std::invalid_argument("not UTF-8 of the Basic Multilingual Plane: " + text);
}

// A Boolean's value lives in the null mask, so it takes no bytes of the row.
int RowBytes(const ColumnDef& column) {
  return column.type == ColumnType::kBoolean ? 0 : column.size;
}
bool IsFixed(const ColumnDef& column) {
  return column.type != ColumnType::kText && column.type != ColumnType::kLongBinary;
}

// Where a column's value goes: the offset among the fixed values, and the
// number of variable-length columns before it (its own slot if it is one).
struct Placement {
  int fixed_offset = 0;
  int var_index = 0;
};

std::vector<Placement> Place(const std::vector<ColumnDef>& columns) {
  std::vector<Placement> places;
  int offset = 0;
  int vars = 0;
  for (const ColumnDef& column : columns) {
    const bool fixed = IsFixed(column);
    places.push_back({fixed && RowBytes(column) > 0 ? offset : 0, vars});
    if (fixed) offset += RowBytes(column);
    if (!fixed) ++vars;
  }
  return places;
}

void CheckFits(const ColumnDef& column, const Cell& cell) {
  const auto limit = static_cast<std::size_t>(RowBytes(column));
  const bool fits = IsFixed(column) ? cell.bytes.size() == limit : cell.bytes.size() <= limit;
  if (cell.present && !fits) {
    throw std::invalid_argument("a value does not fit field \"" + column.name + "\"");
  }
}

Bytes ColumnEntry(const ColumnDef& column, int number, const Placement& place) {
  Bytes entry(25);
  entry[0] = static_cast<std::uint8_t>(column.type);
  Put16(entry, 5, number);
  Put16(entry, 7, place.var_index);
  Put16(entry, 9, number);
  if (column.type == ColumnType::kText) Put16(entry, 11, 0x0409);  // "General" sort order
  entry[15] = IsFixed(column) ? 0x03 : 0x02;  // 0x02: may be Null; 0x01: of fixed length
  Put16(entry, 21, place.fixed_offset);
  Put16(entry, 23, column.size);
  return entry;
}

Bytes Rc4(const Bytes& data, const Bytes& key) {
  std::uint8_t state[256];
  for (int i = 0; i < 256; ++i) state[i] = static_cast<std::uint8_t>(i);
  for (std::size_t i = 0, j = 0; i < 256; ++i) {
    j = (j + state[i] + key[i % key.size()]) & 0xff;
    std::swap(state[i], state[j]);
  }
  Bytes out;
  for (std::size_t n = 0, i = 0, j = 0; n < data.size(); ++n) {
    i = (i + 1) & 0xff;
    j = (j + state[i]) & 0xff;
    std::swap(state[i], state[j]);
    out.push_back(data[n] ^ state[(state[i] + state[j]) & 0xff]);
  }
  return out;
}

}  // namespace

void Put16(Bytes& bytes, std::size_t at, std::uint32_t value) {
  bytes.at(at) = value & 0xff;
  bytes.at(at + 1) = (value >> 8) & 0xff;
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  Put16(bytes, at, value & 0xffff);
  Put16(bytes, at + 2, value >> 16);
}

Bytes Utf16(const std::string& utf8) {
  Bytes out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : -1;
    if (extra < 0 || i + extra >= utf8.size()) Unwritable(utf8);
    std::uint32_t code = extra == 0 ? lead : lead & (0x3f >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xc0) != 0x80) Unwritable(utf8);
      code = (code << 6) | (next & 0x3f);
    }
    if (code >= 0xd800 && code <= 0xdfff) Unwritable(utf8);
    Append16(out, code);
    i += extra + 1;
  }
  return out;
}

Bytes HeaderPage() {
  Bytes page(kPageSize);
  static constexpr char kSignature[] = "Standard Jet DB";
  page[1] = 0x01;
  std::copy(std::begin(kSignature), std::end(kSignature), page.begin() + 4);
  page[0x14] = 0x01;  // Jet 4
  // Bytes 0x18 to 0x97 are masked with RC4 under a key every reader knows.
  Bytes plain(128);
  Put16(plain, 0x3c - 0x18, 1252);    // code page
  Put32(plain, 0x6e - 0x18, 0x0409);  // sort order "General"
  const Bytes masked = Rc4(plain, {0xc7, 0xda, 0x39, 0x6b});
  std::copy(masked.begin(), masked.end(), page.begin() + 0x18);
  return page;
}

Bytes TableDefinitionPage(const TableDef& table) {
  Bytes page(kColumnsStart);
  page[0] = 0x02;
  page[1] = 0x01;
  const auto columns = static_cast<std::uint32_t>(table.columns.size());
  const auto vars = std::count_if(table.columns.begin(), table.columns.end(),
                                  [](const ColumnDef& column) { return !IsFixed(column); });
  Put32(page, 0x10, table.row_count);
  page[0x18] = 0x01;  // as Access writes it
  page[0x28] = table.system ? 0x53 : 0x4e;
  Put16(page, 0x29, columns);  // the most columns a row has
  Put16(page, 0x2b, static_cast<std::uint32_t>(vars));
  Put16(page, 0x2d, columns);
  Put32(page, 0x37, table.usage_map);
  Put32(page, 0x3b, table.free_map);
  const std::vector<Placement> places = Place(table.columns);
  for (std::uint32_t i = 0; i < columns; ++i) {
    Append(page, ColumnEntry(table.columns[i], static_cast<int>(i), places[i]));
  }
  for (const ColumnDef& column : table.columns) {
    const Bytes name = Utf16(column.name);
    Append16(page, static_cast<std::uint32_t>(name.size()));
    Append(page, name);
  }
  Append16(page, 0xffff);  // no long-value columns follow
  if (page.size() > kPageSize) throw std::invalid_argument("too many columns for one page");
  Put32(page, 0x08, static_cast<std::uint32_t>(page.size()));
  Put16(page, 0x02, static_cast<std::uint32_t>(kPageSize - page.size() - 8));
  page.resize(kPageSize);
  return page;
}

Bytes EncodeRow(const std::vector<ColumnDef>& columns, const std::vector<Cell>& cells) {
  if (cells.size() != columns.size()) {
    throw std::invalid_argument("a row needs one value per column");
  }
  Bytes row;
  Append16(row, static_cast<std::uint32_t>(columns.size()));
  Bytes mask((columns.size() + 7) / 8);
  std::vector<std::uint32_t> starts;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    CheckFits(columns[i], cells[i]);
    if (cells[i].present) mask[i / 8] |= 1 << (i % 8);
  }
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (!IsFixed(columns[i])) continue;
    Bytes value = cells[i].present ? cells[i].bytes : Bytes(RowBytes(columns[i]));
    Append(row, value);  // fixed values lie in column order, so each lands at its offset
  }
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (IsFixed(columns[i])) continue;
    starts.push_back(static_cast<std::uint32_t>(row.size()));
    if (cells[i].present) Append(row, cells[i].bytes);
  }
  if (!starts.empty()) {
    // The end of the last value, then each value's start from the last to the first.
    Append16(row, static_cast<std::uint32_t>(row.size()));
    for (auto start = starts.rbegin(); start != starts.rend(); ++start) Append16(row, *start);
    Append16(row, static_cast<std::uint32_t>(starts.size()));
  }
  Append(row, mask);
  return row;
}

std::vector<Bytes> DataPages(const std::vector<Bytes>& rows, std::uint32_t owner) {
  std::vector<Bytes> pages;
  std::size_t count = 0;
  std::size_t end = kPageSize;
  for (const Bytes& row : rows) {
    if (kRowOffsets + 2 + row.size() > kPageSize) throw std::invalid_argument("a row too long");
    if (pages.empty() || count == kMaxRowsPerPage ||
        kRowOffsets + 2 * (count + 1) + row.size() > end) {
      Bytes& page = pages.emplace_back(kPageSize);
      page[0] = 0x01;
      page[1] = 0x01;
      Put32(page, 4, owner);
      count = 0;
      end = kPageSize;
    }
    Bytes& page = pages.back();
    end -= row.size();
    std::copy(row.begin(), row.end(), page.begin() + static_cast<std::ptrdiff_t>(end));
    Put16(page, kRowOffsets + 2 * count, static_cast<std::uint32_t>(end));
    ++count;
    Put16(page, kRowCount, static_cast<std::uint32_t>(count));
    Put16(page, 2, static_cast<std::uint32_t>(end - kRowOffsets - 2 * count));  // free space
  }
  return pages;
}

Bytes UsageMap(std::uint32_t first, std::size_t count) {
  if (count > kUsageMapBytes * 8) throw std::invalid_argument("a table too large");
  Bytes map(5 + kUsageMapBytes);  // type 0: the map is in the row itself
  Put32(map, 1, first);
  for (std::size_t i = 0; i < count; ++i) map[5 + i / 8] |= 1 << (i % 8);
  return map;
}

}  // namespace zc::testing::jet4
