#include "db/jet_failure.h"

#include "db/db_failure.h"

namespace zc::db {
namespace {

std::int32_t FailureNumberOf(jet::ErrorKind kind) {
  switch (kind) {
    case jet::ErrorKind::kIo:
      return failures::kFileAccess;
    case jet::ErrorKind::kDamaged:
    case jet::ErrorKind::kUnsupported:
    case jet::ErrorKind::kDoesNotFit:
      break;
  }
  return code::kNotADatabase;
}

}  // namespace

void RaiseJetFailure(const jet::Error& error, JetWork work, const std::string& path) {
  const std::int32_t number = FailureNumberOf(error.kind);
  const bool reading = work == JetWork::kReading;
  if (number == failures::kFileAccess) {
    throw Failure(number,
                  (reading ? "Cannot read " : "Cannot write ") + path + ": " + error.what());
  }
  throw Failure(number, path +
                            (reading ? " is not a database this program can read: "
                                     : " cannot take the rebuilt tables: ") +
                            error.what());
}

}  // namespace zc::db
