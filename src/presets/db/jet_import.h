// Brings the plants' Access (Jet 3 / Jet 4) .mdb files over into the SQLite
// databases the program works with, keeping every table, field type and value.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zc::jet {

struct ImportedTable {
  std::string name;
  std::int64_t rows = 0;
};

struct ImportResult {
  std::string path;           // the database, now SQLite
  std::string original_copy;  // where the Jet file was kept ("<path>.jet", ".jet.2", ...)
  std::string format;         // "Jet 3" or "Jet 4"
  std::vector<ImportedTable> tables;
};

// True when the file starts like an Access 97/2000-2003 (Jet) database.
bool IsJetFile(const std::string& path);
// True when it starts like an Access 2007 or later (.accdb format) database.
bool IsAceFile(const std::string& path);

// Writes every user table of the Jet file `jet_path` into a new SQLite file
// `sqlite_path`, which must not exist yet. The file appears only when complete.
// Throws zc::Failure: db::code::kNotADatabase naming `jet_path` for an ACE,
// damaged or unknown file; failures::kFileAccess when the new file cannot be
// written.
std::vector<ImportedTable> ConvertJetToSqlite(const std::string& jet_path,
                                              const std::string& sqlite_path);

// Replaces the Jet file at `path` by its SQLite conversion under the same name
// and keeps the original beside it as "<path>.jet" (".jet.2", ".jet.3", ...
// when that exists). At every moment `path` holds either the original or the
// complete new file; on any failure nothing is changed. Throws as above, and
// db::code::kFileNotFound when there is no such file.
ImportResult ImportJetInPlace(const std::string& path);

}  // namespace zc::jet
