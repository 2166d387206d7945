#include "presets/db/jet_import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>
#include <stdexcept>

#include "errors/failure.h"
#include "presets/db/db_failure.h"
#include "presets/db/jet_reader.h"
#include "presets/db/jet_to_sqlite.h"

namespace zc::jet {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void FileError(const std::string& what, const std::string& path) {
  throw Failure(failures::kFileAccess, what + " " + path + ": " + std::strerror(errno));
}

[[noreturn]] void NotReadable(const std::string& path, const std::string& reason) {
  throw Failure(db::code::kNotADatabase,
                path + " is not a database this program can read: " + reason);
}

// For clean-up after a failure, which must not hide that failure.
void RemoveQuietly(const std::string& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

std::unique_ptr<Reader> OpenJet(const std::string& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) {
    throw Failure(db::code::kFileNotFound, "Could not find file '" + path + "'.");
  }
  if (::access(path.c_str(), R_OK) != 0) FileError("Cannot read", path);
  try {
    return std::make_unique<Reader>(path);
  } catch (const std::runtime_error& error) {
    NotReadable(path, error.what());
  }
}

// A new, empty, hidden file in the folder of `target`, so that a rename onto
// the target never crosses file systems.
std::string CreateTemporaryBeside(const std::string& target, mode_t mode) {
  static std::mt19937_64 random{std::random_device{}()};
  const fs::path place(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ostringstream name;
    name << '.' << place.filename().string() << ".import" << std::hex << random();
    const std::string temporary = (place.parent_path() / name.str()).string();
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) {
      ::close(fd);
      return temporary;
    }
    if (errno != EEXIST) FileError("Cannot create a file beside", target);
  }
  FileError("Cannot create a file beside", target);
}

void SyncFile(const std::string& path, bool folder) {
  int fd = ::open(path.c_str(), (folder ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
  if (fd < 0) FileError("Cannot write", path);
  int result = ::fsync(fd);
  ::close(fd);
  if (result != 0 && !folder) FileError("Cannot write", path);
}

std::string FolderOf(const std::string& path) {
  std::string folder = fs::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

// Converts into a temporary file beside `target`; the caller renames it.
std::string ConvertToTemporary(Reader& reader, const std::string& jet_path,
                               const std::string& target, mode_t mode,
                               std::vector<ImportedTable>& tables) {
  const std::string temporary = CreateTemporaryBeside(target, mode);
  try {
    tables = CopyTables(reader, temporary, target);
    SyncFile(temporary, false);
  } catch (const std::runtime_error& error) {
    RemoveQuietly(temporary);
    NotReadable(jet_path, error.what());
  } catch (...) {
    RemoveQuietly(temporary);
    throw;
  }
  return temporary;
}

// Links the original under the first free name of "<path>.jet", ".jet.2", ...
// A link never replaces an existing file; where the file system has no links
// a copy that refuses to overwrite stands in.
std::string KeepOriginal(const std::string& path) {
  for (int number = 1;; ++number) {
    std::string copy = path + ".jet" + (number > 1 ? "." + std::to_string(number) : "");
    if (::link(path.c_str(), copy.c_str()) == 0) return copy;
    if (errno == EEXIST) continue;
    std::error_code error;
    if (fs::copy_file(path, copy, fs::copy_options::none, error)) {
      SyncFile(copy, false);
      return copy;
    }
    if (error == std::errc::file_exists) continue;
    errno = error.value();
    FileError("Cannot keep a copy of", path);
  }
}

}  // namespace

bool IsJetFile(const std::string& path) {
  FileKind kind = KindOfFile(path);
  return kind == FileKind::kJet3 || kind == FileKind::kJet4;
}

bool IsAceFile(const std::string& path) { return KindOfFile(path) == FileKind::kAce; }

std::vector<ImportedTable> ConvertJetToSqlite(const std::string& jet_path,
                                              const std::string& sqlite_path) {
  std::unique_ptr<Reader> reader = OpenJet(jet_path);
  if (fs::exists(fs::symlink_status(sqlite_path))) {
    throw Failure(db::code::kDatabaseExists, "Database '" + sqlite_path + "' already exists.");
  }
  std::vector<ImportedTable> tables;
  std::string temporary = ConvertToTemporary(*reader, jet_path, sqlite_path, 0666, tables);
  const bool taken = fs::exists(fs::symlink_status(sqlite_path));
  if (taken || ::rename(temporary.c_str(), sqlite_path.c_str()) != 0) {
    int cause = taken ? EEXIST : errno;
    RemoveQuietly(temporary);
    errno = cause;
    FileError("Cannot create", sqlite_path);
  }
  SyncFile(FolderOf(sqlite_path), true);
  return tables;
}

ImportResult ImportJetInPlace(const std::string& path) {
  std::unique_ptr<Reader> reader = OpenJet(path);
  // Through a link, the file it names is the one replaced.
  const std::string real = fs::canonical(path).string();
  struct stat original {};
  if (::stat(real.c_str(), &original) != 0) FileError("Cannot read", path);
  // The rename would bypass a read-only file; honour it as the platform does.
  if ((original.st_mode & 0222) == 0 || ::access(real.c_str(), W_OK) != 0) {
    errno = EACCES;
    FileError("Cannot replace", path);
  }

  ImportResult result{path, "", reader->jet4() ? "Jet 4" : "Jet 3", {}};
  std::string temporary = ConvertToTemporary(*reader, path, real, 0600, result.tables);
  reader.reset();
  try {
    ::chmod(temporary.c_str(), original.st_mode & 07777);
    result.original_copy = KeepOriginal(real);
  } catch (...) {
    RemoveQuietly(temporary);
    throw;
  }
  if (::rename(temporary.c_str(), real.c_str()) != 0) {
    int cause = errno;
    RemoveQuietly(temporary);
    RemoveQuietly(result.original_copy);
    errno = cause;
    FileError("Cannot replace", path);
  }
  SyncFile(FolderOf(real), true);
  return result;
}

}  // namespace zc::jet
