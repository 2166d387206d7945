// How an Access file's field types and our declared column types meet: the
// one table that pairs each Jet type with the data type number the
// procedures know, used both ways across the bridge.
#pragma once

#include <string>
#include <string_view>

#include "jet/field.h"

namespace zc::db {

// The column type our SQLite files declare for a field: "TEXT(50)", "LONG",
// "COUNTER", "DECIMAL(18,4)", ...
std::string DeclaredType(const jet::Field& field);

// The Jet field a column of that declared type is written as.
jet::Field JetFieldOf(const std::string& name, std::string_view declared);

}  // namespace zc::db
