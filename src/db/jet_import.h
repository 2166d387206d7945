// Reads the plants' Access (Jet 3 / Jet 4) .mdb files into the SQLite
// databases the program works with, keeping every table, field type and value.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zc::db {

struct ImportedTable {
  std::string name;
  std::int64_t rows = 0;
};

// Writes every user table of the Jet file `jet_path` into a new SQLite file
// `sqlite_path`, which must not exist yet. The file appears only when complete.
// Throws zc::Failure: db::code::kNotADatabase naming `jet_path` for an ACE,
// damaged or unknown file; failures::kFileAccess when the new file cannot be
// written.
std::vector<ImportedTable> ConvertJetToSqlite(const std::string& jet_path,
                                              const std::string& sqlite_path);

// ConvertJetToSqlite for a working copy the run throws away when it ends:
// written where it stands and not flushed to the disk (a crash leaves nothing
// the next run uses). The caller removes it when this throws.
std::vector<ImportedTable> ConvertJetToWorkingCopy(const std::string& jet_path,
                                                   const std::string& sqlite_path);

}  // namespace zc::db
