// Windows file attributes for tests that hide a file from the program or
// forbid writing it.
#pragma once

#include <string>

namespace zc::testing {

enum class Attribute { kHidden, kSystem, kReadOnly, kArchive };

// Adds one attribute to a file's attributes; false when the file has none.
bool AddAttribute(const std::string& path, Attribute attribute);
bool HasAttribute(const std::string& path, Attribute attribute);
// Leaves the file with no attribute but the normal one.
void ClearAttributes(const std::string& path);

// Wine keeps no creation time of its own (it reports the Unix file's change
// time), so tests of kept creation times run on Windows only.
bool UnderWine();

}  // namespace zc::testing
