#include "db/jet_import.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "db/db_failure.h"
#include "db/jet_failure.h"
#include "db/jet_to_sqlite.h"
#include "errors/failure.h"
#include "jet/reader.h"
#include "platform/platform.h"

namespace zc::db {
namespace {

std::unique_ptr<jet::Reader> OpenJet(const std::string& path) {
  if (!platform::PathExists(path) || platform::IsFolder(path)) {
    throw Failure(db::code::kFileNotFound, "Could not find file '" + path + "'.");
  }
  try {
    return std::make_unique<jet::Reader>(path);
  } catch (const jet::Error& error) {
    RaiseJetFailure(error, JetWork::kReading, path);
  }
}

// The reader of `jet_path`, once the new file's name is known to be free.
std::unique_ptr<jet::Reader> OpenForConversion(const std::string& jet_path,
                                               const std::string& sqlite_path) {
  std::unique_ptr<jet::Reader> reader = OpenJet(jet_path);
  if (platform::PathExists(sqlite_path)) {
    throw Failure(db::code::kDatabaseExists, "Database '" + sqlite_path + "' already exists.");
  }
  return reader;
}

std::vector<ImportedTable> CopyTablesOf(jet::Reader& reader, const std::string& jet_path,
                                        const std::string& file, const std::string& shown_path) {
  try {
    return CopyTables(reader, file, shown_path);
  } catch (const jet::Error& error) {
    RaiseJetFailure(error, JetWork::kReading, jet_path);
  }
}

}  // namespace

std::vector<ImportedTable> ConvertJetToWorkingCopy(const std::string& jet_path,
                                                   const std::string& sqlite_path) {
  std::unique_ptr<jet::Reader> reader = OpenForConversion(jet_path, sqlite_path);
  if (!std::ofstream(platform::NativePath(sqlite_path), std::ios::binary)) {
    throw Failure(failures::kFileAccess, "Cannot create " + sqlite_path);
  }
  return CopyTablesOf(*reader, jet_path, sqlite_path, sqlite_path);
}

std::vector<ImportedTable> ConvertJetToSqlite(const std::string& jet_path,
                                              const std::string& sqlite_path) {
  std::unique_ptr<jet::Reader> reader = OpenForConversion(jet_path, sqlite_path);
  std::vector<ImportedTable> tables;
  std::string error = platform::ReplaceFileAtomically(sqlite_path, [&](const std::string& file) {
    tables = CopyTablesOf(*reader, jet_path, file, sqlite_path);
    // A file made meanwhile by someone else is not replaced.
    if (!platform::PathExists(sqlite_path)) return std::string();
    return "Cannot create " + sqlite_path + ": " + std::strerror(EEXIST);
  });
  if (!error.empty()) throw Failure(failures::kFileAccess, error);
  return tables;
}

}  // namespace zc::db
