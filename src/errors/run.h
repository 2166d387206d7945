// One run of the program: the process facts, the door to the user and the
// run-wide start-mode flags. Higher layers extend it with their own run-wide
// values; every procedure takes the run it works for.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "errors/command_text.h"
#include "platform/platform.h"
#include "platform/ui.h"

namespace zc {

// Held back writes (the database layer batches them). Everything held back is
// committed before the program shows, logs or copies anything, and at its end.
// Neither call throws: a dialog or the end of the program must not fail on it.
class PendingWrites {
 public:
  virtual ~PendingWrites() = default;
  virtual void CommitPendingWrites() = 0;
  // At the end of the program: commit and leave the files without helpers.
  virtual void FinishPendingWrites() = 0;
  // When the user gives up in the middle of the work: what is not yet
  // committed is dropped, so the files stay as they were.
  virtual void DiscardPendingWrites() = 0;
};

// Exit statuses of the program.
namespace exit_status {
constexpr int kDone = 0;              // the work ran and nothing was reported
constexpr int kEndedOnFailure = 1;    // a reported failure ended the program
constexpr int kDoneWithFailures = 2;  // the work ran, failures were reported
constexpr int kCancelled = 3;         // the user gave up before the work
}  // namespace exit_status

struct Run {
  Run(platform::ProcessFacts facts, platform::Ui& ui);
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;
  virtual ~Run() = default;

  // Its executable path is read once, when the run is made (the identity below).
  platform::ProcessFacts process;
  platform::Ui& ui;

  // Both False until the start mode is read from the command line; never both True.
  bool IntegratedMode = false;
  bool SilentMode = false;
  // A preview works on scratch copies alone and writes nothing but the run
  // report (and failures to the error log); it goes with any start mode.
  bool PreviewMode = false;

  // Set once a failure has been reported, so that the exit status can tell.
  bool failures_reported = false;
  // Failure lines already shown and resumed, with how often they came again.
  std::map<std::string, int> resumed_failures;
  PendingWrites* pending_writes = nullptr;

  // The program's identity, derived once from its own place: the program
  // does not move while it runs.
  const std::string& ExecutableName() const { return identity_.executable_name; }
  const std::string& ProgramFolder() const { return identity_.program_folder; }
  const std::string& ProjectFolder() const { return identity_.project_folder; }
  const std::string& ProgramFile() const { return identity_.program_file; }
  const std::optional<std::string>& ComponentName() const { return identity_.component_name; }

  // One run per component at a time: takes the lock of the component folder's
  // lock file for the rest of the program. False only when another run holds
  // it. Without a lock file (no component folder, or one closed to this user)
  // the run goes on: it could change none of the component's files either.
  bool LockComponent();
  // At the end of the program: the lock goes, and its file with it.
  void UnlockComponent() { component_lock_.Release(); }

  void CommitPendingWrites();
  void FinishPendingWrites();
  void DiscardPendingWrites();
  // Commits, then shows the box: a run that ends at a dialog keeps its work.
  platform::Answer MsgBox(const platform::MessageBox& box);
  // Lets pending events run; cheap enough to call per field of every row.
  void DoEvents();

 private:
  struct Identity {
    explicit Identity(const std::string& executable_path);
    std::string executable_name;  // file name without extension
    std::string program_folder;
    std::string project_folder;  // the parent of the program folder
    // The program file to start again, as it lies on disk: with ".exe" on
    // Windows, without on POSIX, where the path keeps its letter case.
    std::string program_file;
    // The component the program serves: the executable name less "_Config"
    // (its last seven characters); nullopt when the name is too short for one.
    std::optional<std::string> component_name;
  };

  Identity identity_;
  platform::FileLock component_lock_;
  std::uint32_t do_events_calls_ = 0;
  std::chrono::steady_clock::time_point last_events_{};
};

}  // namespace zc
