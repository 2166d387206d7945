// Checks of an Access (Jet) file's structure that its readers rely on.
#pragma once

#include <string>
#include <vector>

namespace zc::testing {

// What is wrong with the file's page maps and catalog indexes; empty when
// nothing is. Every page must be claimed exactly once: by a table's
// definition or usage maps, an index, a memo column's maps, or the map of
// free pages. Another Jet engine that writes into the file relies on exactly
// this. Jet 3's long-value pages, which that format tracks nowhere, are left
// out. The indexes of the catalog and of its access rights (MSysObjects,
// MSysACEs) must hold one entry per row, in order over all their leaves,
// each entry of a node naming the last entry below it, the pages of a level
// linked to their neighbours (nodes below the same parent only).
std::vector<std::string> PageMapProblems(const std::string& path);

}  // namespace zc::testing
