// The one place where a failure of the Jet side becomes the failure the
// procedures see: its kind chooses the number, the work its wording.
#pragma once

#include <string>

#include "jet/bytes.h"

namespace zc::db {

enum class JetWork { kReading, kWriting };

// Raises zc::Failure naming `path`. An I/O failure is 75 ("Cannot read ..." or
// "Cannot write ..."); a damaged or unsupported file, or a value that does not
// fit its field, is 3343 (" is not a database this program can read: ..." or
// " cannot take the rebuilt tables: ...").
[[noreturn]] void RaiseJetFailure(const jet::Error& error, JetWork work, const std::string& path);

}  // namespace zc::db
