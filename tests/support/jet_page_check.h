// Checks that every page of a Jet file is accounted for exactly once: by a
// table's definition or usage maps, an index, a memo column's maps, or the
// map of free pages. Another Jet engine that writes into the file relies on
// exactly this.
#pragma once

#include <string>
#include <vector>

namespace zc::testing {

// What is wrong with the file's page maps; empty when nothing is. Pages
// that nothing claims are wrong too, except Jet 3's long-value pages, which
// that format tracks nowhere.
std::vector<std::string> PageMapProblems(const std::string& path);

}  // namespace zc::testing
