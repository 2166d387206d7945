// A new table's definition, laid out as Access lays out a table it creates:
// fixed-length columns packed in order, variable-length ones after them with
// memo and OLE columns last, and no index.
#pragma once

#include <vector>

#include "jet/bytes.h"
#include "jet/field.h"
#include "jet/format.h"
#include "jet/table_definition.h"

namespace zc::jet {

// The columns for `fields`. Throws Error (kDoesNotFit) for a field Jet
// cannot hold (no name, a name too long, a text size outside 1 to 255).
TableDefinition LayOutTable(const Format& format, const std::vector<Field>& fields);

// The stored bytes of `table`: header, columns, names, the usage maps of its
// memo and OLE columns (Jet 4), and the end mark. It may need several pages.
Blob EncodeTableDefinition(const Format& format, const TableDefinition& table);

// Splits encoded definition bytes over `pages` (each further page gets its
// own header and the previous one a link to it) and writes them.
void WriteTableDefinition(PageFile& file, const Blob& bytes,
                          const std::vector<std::uint32_t>& pages);
// How many pages EncodeTableDefinition's bytes need.
std::size_t DefinitionPages(const Format& format, std::size_t length);

}  // namespace zc::jet
