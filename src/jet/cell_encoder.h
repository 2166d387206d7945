// A value from our SQLite files in the stored form of its Jet column.
#pragma once

#include "jet/bytes.h"
#include "jet/table_definition.h"
#include "jet/values.h"

namespace zc::jet {

// The bytes of `value` for `column`: for a memo or OLE column the bytes of
// the whole value (text encoded), which the caller stores as a long value.
// Throws Error (kDoesNotFit) for a value the column cannot hold.
Blob EncodeCell(const Column& column, const Value& value, bool jet4);
// The same into `out`, whose storage it reuses.
void EncodeCell(const Column& column, const Value& value, bool jet4, Blob& out);

// Booleans live in the null mask: any value but Null and 0 is True.
bool BooleanOf(const Value& value);

}  // namespace zc::jet
