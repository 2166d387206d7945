#include "presets/db/jet_import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "errors/failure.h"
#include "jet/format.h"
#include "jet/reader.h"
#include "platform/platform.h"
#include "presets/db/db_failure.h"
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

void SyncFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) FileError("Cannot write", path);
  int result = ::fsync(fd);
  ::close(fd);
  if (result != 0) FileError("Cannot write", path);
}

// Converts into the empty SQLite file `file`; `target` names it in failures.
std::vector<ImportedTable> ConvertInto(Reader& reader, const std::string& jet_path,
                                       const std::string& file, const std::string& target) {
  try {
    return CopyTables(reader, file, target);
  } catch (const std::runtime_error& error) {
    NotReadable(jet_path, error.what());
  }
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
      SyncFile(copy);
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
  std::string error = platform::ReplaceFileAtomically(sqlite_path, [&](const std::string& file) {
    tables = ConvertInto(*reader, jet_path, file, sqlite_path);
    // A file made meanwhile by someone else is not replaced.
    if (!fs::exists(fs::symlink_status(sqlite_path))) return std::string();
    return "Cannot create " + sqlite_path + ": " + std::strerror(EEXIST);
  });
  if (!error.empty()) throw Failure(failures::kFileAccess, error);
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
  std::string error = platform::ReplaceFileAtomically(real, [&](const std::string& file) {
    result.tables = ConvertInto(*reader, path, file, real);
    reader.reset();
    result.original_copy = KeepOriginal(real);
    return std::string();
  });
  if (!error.empty()) {
    if (!result.original_copy.empty()) RemoveQuietly(result.original_copy);
    throw Failure(failures::kFileAccess, error);
  }
  return result;
}

}  // namespace zc::jet
