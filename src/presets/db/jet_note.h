// The database engine's importer for Access files: converts in place and
// says what it did, for the run report.
#pragma once

#include <string>

namespace zc::jet {

// Imports the Access file at `path` in place (see ImportJetInPlace) and
// returns a line for the run report. Raises like ImportJetInPlace.
std::string ImportAccessFile(const std::string& path);

}  // namespace zc::jet
