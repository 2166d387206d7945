// A healthy project on disk for the program tests: machines, a template, an
// earlier table with operator values and a machine copy.
#pragma once

#include <string>
#include <vector>

#include "support/db_builder.h"

namespace zc::testing {

// Writes the project into `root` and installs the program in root/Bin.
// `template_rows` template rows per machine, `earlier_rows` earlier rows;
// with `access`, its databases are Access (Jet 4) files.
void WriteHealthyProject(const std::string& root, int machines = 2, int template_rows = 3,
                         int earlier_rows = 4, bool access = false);

// The PRESET_DEFS a run makes of that project: the template for every
// machine, each row with the operator values of its earlier row.
std::vector<Row> RenewedPresets(int machines, int template_rows, int earlier_rows);

// Turns the table `table` of an Access file into a link to a table
// elsewhere, as Access keeps one: the name stays taken, the table is gone.
void MakeLinkedTable(const std::string& path, const std::string& table);

}  // namespace zc::testing
