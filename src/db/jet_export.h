// Writes tables of our SQLite databases into Access (Jet) files: back into a
// plant's file after a run, or into a new Access 2000 file (sqlite2mdb).
#pragma once

#include <string>
#include <vector>

#include "db/jet_import.h"

namespace zc::db {

// Replaces (or adds) each of `tables` of the SQLite file `sqlite_path` in the
// Jet file `jet_path`, which is changed in place: the caller works on a copy.
// Throws zc::Failure: 3343 naming `shown_path` when the Jet file cannot take
// the tables, 75 when a file cannot be read or written.
void WriteTablesToJet(const std::string& sqlite_path, const std::vector<std::string>& tables,
                      const std::string& jet_path, const std::string& shown_path);

// The lock file Access (and the display, through Jet) keeps beside a database
// it has open: the file's name with ".ldb" for its extension.
std::string AccessLockFile(const std::string& jet_path);

// Writes `tables` of the SQLite file `scratch` back into the Access file
// `jet_path`, which is replaced atomically by a changed copy of itself. Raises
// code::kCannotOpen naming the file while Access holds it open.
void WriteBackToJet(const std::string& scratch, const std::vector<std::string>& tables,
                    const std::string& jet_path);

// Writes every table of the SQLite file `sqlite_path` into a new Access 2000
// file `jet_path`, which must not exist; the file appears only when complete.
std::vector<ImportedTable> ConvertSqliteToJet(const std::string& sqlite_path,
                                              const std::string& jet_path);

}  // namespace zc::db
