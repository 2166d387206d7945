#include "errors/run.h"

namespace zc {

namespace {

// The executable name less its last seven characters, not bytes: UTF-8
// continuation bytes are stepped over.
std::optional<std::string> ComponentOf(std::string name) {
  for (int dropped = 0; dropped < 7; ++dropped) {
    if (name.empty()) return std::nullopt;
    while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80) {
      name.pop_back();
    }
    if (!name.empty()) name.pop_back();
  }
  return name;
}

}  // namespace

Run::Identity::Identity(const std::string& executable_path)
    : executable_name(platform::FileNameWithoutExtension(executable_path)),
      program_folder(platform::FolderOf(executable_path)),
      project_folder(platform::ParentFolderByRule(program_folder)),
      program_file(platform::JoinPath(program_folder,
                                      executable_name + std::string(platform::ProgramExtension()))),
      component_name(ComponentOf(executable_name)) {}

Run::Run(platform::ProcessFacts facts, platform::Ui& ui)
    : process(std::move(facts)),
      ui(ui),
      PreviewMode(CommandAsksPreview(process.command_line)),
      identity_(process.executable_path) {}

bool Run::LockComponent() {
  std::optional<std::string> name = ComponentName();
  if (!name || name->empty()) return true;  // no component, none of its files to guard
  std::string folder = platform::JoinPath(ProjectFolder(), *name);
  return component_lock_.Take(platform::JoinPath(folder, "." + *name + ".zc-lock")) !=
         platform::FileLock::Outcome::kHeldElsewhere;
}

void Run::CommitPendingWrites() {
  if (pending_writes != nullptr) pending_writes->CommitPendingWrites();
}

void Run::FinishPendingWrites() {
  if (pending_writes != nullptr) pending_writes->FinishPendingWrites();
}

void Run::DiscardPendingWrites() {
  if (pending_writes != nullptr) pending_writes->DiscardPendingWrites();
}

platform::Answer Run::MsgBox(const platform::MessageBox& box) {
  CommitPendingWrites();
  return ui.Show(box);
}

void Run::DoEvents() {
  // Asking the window for events costs far more than a field write; a glance
  // at the clock every 64 calls keeps the window responsive at ~50 frames/s.
  constexpr auto kInterval = std::chrono::milliseconds(20);
  if (do_events_calls_++ % 64 != 0) return;
  auto now = std::chrono::steady_clock::now();
  if (now - last_events_ < kInterval) return;
  last_events_ = now;
  ui.DoEvents();
}

}  // namespace zc
