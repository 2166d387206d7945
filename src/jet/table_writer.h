// Writes a new table's rows, its memo and OLE values, its usage maps and its
// definition into pages the allocator hands out.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "jet/allocator.h"
#include "jet/page_file.h"
#include "jet/rows.h"
#include "jet/table_definition.h"
#include "jet/values.h"

namespace zc::jet {

class TableWriter {
 public:
  // `table` comes from LayOutTable; its definition starts at `first_page`.
  TableWriter(PageFile& file, PageAllocator& pages, TableDefinition table,
              std::uint32_t first_page);

  // Throws Error (kDoesNotFit) for a value its field cannot hold.
  void AddRow(const std::vector<Value>& values);
  // Writes what is left: the last pages, the usage maps and the definition.
  const TableDefinition& Finish();

 private:
  struct Stream {  // pages of rows, filled one after the other
    std::uint32_t owner = 0;
    Blob page;
    std::uint32_t number = 0;
    std::vector<std::uint32_t> pages;
  };
  RowId Place(Stream& stream, Bytes row);
  void Close(Stream& stream);
  Blob LongValue(std::size_t column, const Blob& data);
  Blob LongValueChain(Stream& stream, const Blob& data);
  std::vector<Cell> EncodeCells(const std::vector<Value>& values, std::vector<Blob>& bytes) const;
  bool KeepShortValuesInline(const std::vector<Cell>& cells, const std::vector<Blob>& bytes) const;
  void WriteUsageMaps();

  PageFile& file_;
  PageAllocator& pages_;
  const Format& format_;
  TableDefinition table_;
  std::uint32_t map_page_ = 0;
  Stream rows_;
  std::map<std::size_t, Stream> long_values_;  // by column position
  std::vector<Blob> row_bytes_;
  Blob row_;  // the row being built, its block kept from row to row
};

}  // namespace zc::jet
