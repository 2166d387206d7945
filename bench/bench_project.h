// The synthetic project the whole-run benchmark works on, the run itself,
// and its floor: raw SQLite doing the same inserts and keyed updates.
#pragma once

#include <string>

namespace zc::bench {

struct Size {
  int machines, template_rows, earlier_rows;
};

// A project in `root`: Zantel/Zantel_Source.mdb with the template,
// Zantel/Zantel.mdb with the earlier table, SQLite or Access files.
void BuildProject(const std::string& root, const Size& size, bool access);

// A whole silent run of the program's database work on the project.
void WholeRun(const std::string& root, const Size& size);

// The floor: in raw SQLite, with prepared statements, one transaction per
// file, the keyed updates of the name conversions on the earlier table, the
// generated rows inserted and the carried values written by key.
void RawFloor(const std::string& root, const Size& size);

}  // namespace zc::bench
