#include "errors/procedure.h"

#include "errors/error_sub.h"

namespace zc {

void Procedure::Report(const Failure& failure) {
  std::string source = failure.source.empty() ? run_.ExecutableName() : failure.source;
  std::int32_t answer =
      ErrorSub(run_, failure.number, source, failure.description, ProcName_, fatal_);
  if (answer == decision::kEndProgram) EndProgram(run_, exit_status::kEndedOnFailure);
}

}  // namespace zc
