#include "jet/table_writer.h"

#include <algorithm>
#include <stdexcept>

#include "jet/cell_encoder.h"
#include "jet/data_page.h"
#include "jet/long_value.h"
#include "jet/rows.h"
#include "jet/table_layout.h"
#include "jet/usage_map.h"

namespace zc::jet {
namespace {

// A long value this short stays in its row, as Access keeps it.
constexpr std::size_t kMaxInlineLongValue = 64;

Blob Reference(std::uint32_t head, RowId first) {
  Blob reference(kLongValueHeader, 0);
  Put32(reference, 0, head);
  Put32(reference, 4, first.Packed());
  return reference;
}

}  // namespace

TableWriter::TableWriter(PageFile& file, PageAllocator& pages, TableDefinition table,
                         std::uint32_t first_page)
    : file_(file), pages_(pages), format_(file.format()), table_(std::move(table)) {
  CheckRowLayout(format_, table_);  // its columns stay as they are from here on
  table_.pages = {first_page};
  // The usage maps go on the page after the definition, as Access places them.
  map_page_ = pages_.Allocate();
  rows_.owner = first_page;
  for (std::size_t i = 0; i < table_.columns.size(); ++i) {
    if (table_.columns[i].LongValue()) long_values_[i].owner = kLongValueOwner;
  }
}

RowId TableWriter::Place(Stream& stream, Bytes row) {
  if (!stream.page.empty() && !RowFits(format_, stream.page, row.size())) Close(stream);
  if (stream.page.empty()) {
    stream.page = NewDataPage(format_, stream.owner);
    stream.number = pages_.Allocate();
    stream.pages.push_back(stream.number);
  }
  return {stream.number, jet::AddRow(format_, stream.page, row)};
}

void TableWriter::Close(Stream& stream) {
  if (stream.page.empty()) return;
  file_.Write(stream.number, stream.page);
  stream.page.clear();
}

// A value too long for one row is kept in a chain of rows, each starting
// with the address of the next. Every full part takes a page of its own; the
// short last part shares the column's current page with other values.
Blob TableWriter::LongValueChain(Stream& stream, const Blob& data) {
  const std::size_t part = format_.max_long_value_row - 4;
  std::vector<Blob> rows;
  for (std::size_t at = 0; at < data.size(); at += part) {
    Blob row(4, 0);
    const std::size_t end = std::min(data.size(), at + part);
    row.insert(row.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
               data.begin() + static_cast<std::ptrdiff_t>(end));
    rows.push_back(std::move(row));
  }
  // Written last part first, so that each part knows where the next one went.
  RowId next = Place(stream, rows.back());
  for (std::size_t i = rows.size() - 1; i-- > 0;) {
    Put32(rows[i], 0, next.Packed());
    Blob page = NewDataPage(format_, stream.owner);
    const std::uint32_t number = pages_.Allocate();
    next = {number, jet::AddRow(format_, page, rows[i])};
    file_.Write(number, page);
    stream.pages.push_back(number);
  }
  return Reference(static_cast<std::uint32_t>(data.size()), next);
}

Blob TableWriter::LongValue(std::size_t column, const Blob& data) {
  if (data.size() > 0x3FFFFFFF) DoesNotFit("a memo or OLE value too long");
  Stream& stream = long_values_.at(column);
  if (data.size() <= format_.max_long_value_row) {
    return Reference(static_cast<std::uint32_t>(data.size()) | long_value_kind::kOnePage,
                     Place(stream, data));
  }
  return LongValueChain(stream, data);
}

std::vector<Cell> TableWriter::EncodeCells(const std::vector<Value>& values,
                                           std::vector<Blob>& bytes) const {
  std::vector<Cell> cells(table_.columns.size());
  for (std::size_t i = 0; i < table_.columns.size(); ++i) {
    const Column& column = table_.columns[i];
    try {
      bytes[i].clear();
      if (column.type == column_type::kBoolean) {
        cells[i].present = BooleanOf(values[i]);
      } else if (!std::holds_alternative<std::monostate>(values[i])) {
        EncodeCell(column, values[i], format_.jet4, bytes[i]);
        cells[i].present = true;
      }
    } catch (const Error& error) {
      if (error.kind != ErrorKind::kDoesNotFit) throw;
      DoesNotFit("field \"" + column.name + "\": " + error.what());
    }
  }
  return cells;
}

// Which long values stay in the row: the short ones, unless the row would
// then be too long for a page.
bool TableWriter::KeepShortValuesInline(const std::vector<Cell>& cells,
                                        const std::vector<Blob>& bytes) const {
  std::vector<Cell> trial = cells;
  std::vector<Blob> references(cells.size());
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (!table_.columns[i].LongValue() || !cells[i].present) {
      trial[i].bytes = bytes[i];
      continue;
    }
    references[i].assign(
        kLongValueHeader + (bytes[i].size() <= kMaxInlineLongValue ? bytes[i].size() : 0), 0);
    trial[i].bytes = references[i];
  }
  try {
    Blob row;
    BuildRowInto(format_, table_, trial, 0, row);
    return true;
  } catch (const Error& error) {
    if (error.kind != ErrorKind::kDoesNotFit) throw;
    return false;
  }
}

void TableWriter::AddRow(const std::vector<Value>& values) {
  if (values.size() != table_.columns.size()) throw std::logic_error("a row of the wrong width");
  // The values' bytes of one row after the other share their storage.
  std::vector<Blob>& bytes = row_bytes_;
  bytes.resize(values.size());
  std::vector<Cell> cells = EncodeCells(values, bytes);
  bool any_long_value = false;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    any_long_value = any_long_value || (table_.columns[i].LongValue() && cells[i].present);
  }
  // A row without long values needs no trial build.
  const bool keep_inline = any_long_value && KeepShortValuesInline(cells, bytes);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (table_.columns[i].LongValue() && cells[i].present) {
      if (keep_inline && bytes[i].size() <= kMaxInlineLongValue) {
        Blob reference =
            Reference(static_cast<std::uint32_t>(bytes[i].size()) | long_value_kind::kInline, {});
        reference.insert(reference.end(), bytes[i].begin(), bytes[i].end());
        bytes[i] = std::move(reference);
      } else {
        bytes[i] = LongValue(i, bytes[i]);
      }
    }
    cells[i].bytes = bytes[i];
  }
  BuildRowInto(format_, table_, cells, 0, row_);
  Place(rows_, row_);
  ++table_.row_count;
  for (std::size_t i = 0; i < table_.columns.size(); ++i) {
    const auto* number = std::get_if<std::int64_t>(&values[i]);
    if ((table_.columns[i].flags & column_flag::kAutoNumber) && number &&
        *number > table_.autonumber) {
      table_.autonumber = static_cast<std::uint32_t>(*number);
    }
  }
}

void TableWriter::WriteUsageMaps() {
  auto allocate = [this] { return pages_.Allocate(); };
  // One page holds the maps of a table with a few memo and OLE columns; the
  // maps of many go on to further pages.
  std::uint32_t number = map_page_;
  Blob page = NewDataPage(format_, 0);
  auto place = [&](const Blob& map) {
    if (!RowFits(format_, page, map.size())) {
      file_.Write(number, page);
      page = NewDataPage(format_, 0);
      number = allocate();
    }
    return RowId{number, jet::AddRow(format_, page, map)};
  };
  auto add_pair = [&](Stream& stream) {
    const std::vector<std::uint32_t> last =
        stream.pages.empty() ? std::vector<std::uint32_t>{} : std::vector{stream.number};
    const RowId owned = place(EncodeUsageMap(file_, stream.pages, allocate));
    return std::pair{owned, place(EncodeUsageMap(file_, last, allocate))};
  };
  std::tie(table_.owned_map, table_.free_map) = add_pair(rows_);
  table_.column_maps.clear();
  // Jet 3 keeps no maps of a column's long values.
  if (format_.jet4) {
    for (auto& [column, stream] : long_values_) {
      const auto [owned, free] = add_pair(stream);
      table_.column_maps.push_back({table_.columns[column].number, owned, free});
    }
  }
  file_.Write(number, page);
}

const TableDefinition& TableWriter::Finish() {
  Close(rows_);
  for (auto& [column, stream] : long_values_) Close(stream);
  WriteUsageMaps();
  const Blob bytes = EncodeTableDefinition(format_, table_);
  while (table_.pages.size() < DefinitionPages(format_, bytes.size())) {
    table_.pages.push_back(pages_.Allocate());
  }
  WriteTableDefinition(file_, bytes, table_.pages);
  return table_;
}

}  // namespace zc::jet
