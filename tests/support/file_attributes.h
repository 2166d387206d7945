// Windows file attributes for tests that hide a file from the program.
#pragma once

#include <string>

namespace zc::testing {

enum class Attribute { kHidden, kSystem };

// Adds one attribute to a file's attributes; false when the file has none.
bool AddAttribute(const std::string& path, Attribute attribute);
bool HasAttribute(const std::string& path, Attribute attribute);

}  // namespace zc::testing
