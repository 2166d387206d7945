// Visiting the stored rows of a table, page by page in the order its usage
// map lists them, as every Jet reader does.
#pragma once

#include <functional>

#include "jet/bytes.h"
#include "jet/page_file.h"
#include "jet/table_definition.h"

namespace zc::jet {

// `where` is the row's own address; `bytes` its data, after following an
// overflow row to where the data went.
using RowVisitor = std::function<void(RowId where, Bytes bytes)>;

// Every live row of `table`, in stored order. Throws Damaged.
void ScanRows(PageFile& file, const TableDefinition& table, const RowVisitor& visit);

}  // namespace zc::jet
