// The failure handler every procedure carries. A procedure names itself and
// runs its steps through Step(): a failing step is reported to ErrorSub under
// the procedure's name, and then either the program ends or the procedure
// goes on with its next step, the failed step's result left at its default.
//
//   Procedure proc(run, "GetProgramIniPath");
//   std::string path;
//   proc.Step([&] { path = ...; });
//   proc.Step([&] { if (!platform::FileExists(path)) path.clear(); });
//   return path;
#pragma once

#include <exception>
#include <new>

#include "errors/failure.h"
#include "errors/run.h"

namespace zc {

class Procedure {
 public:
  // `fatal` marks a handler that guards a step after which the run cannot go on.
  Procedure(Run& run, const char* ProcName, bool fatal = false)
      : run_(run), ProcName_(ProcName), fatal_(fatal) {}

  // Runs one step; true when it went through without a failure.
  template <typename StepBody>
  bool Step(StepBody&& body) {
    try {
      body();
      return true;
    } catch (const Failure& failure) {
      Report(failure);
    } catch (const std::bad_alloc&) {
      Report(Failure(failures::kOutOfMemory, "Out of memory"));
    } catch (const std::exception& other) {
      Report(Failure(failures::kInternal, std::string("Internal error: ") + other.what()));
    }
    return false;
  }

  // Reports a failure raised outside Step() (or built by hand) the same way.
  void Report(const Failure& failure);

  const char* name() const { return ProcName_; }
  Run& run() const { return run_; }

 private:
  Run& run_;
  const char* ProcName_;
  bool fatal_;
};

}  // namespace zc
