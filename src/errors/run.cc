#include "errors/run.h"

namespace zc {

std::string Run::ExecutableName() const {
  return platform::FileNameWithoutExtension(process.executable_path);
}

std::string Run::ProgramFolder() const { return platform::FolderOf(process.executable_path); }

std::string Run::ProgramFile() const {
  return platform::JoinPath(ProgramFolder(),
                            ExecutableName() + std::string(platform::ProgramExtension()));
}

std::string Run::ProjectFolder() const { return platform::ParentFolderByRule(ProgramFolder()); }

std::optional<std::string> Run::ComponentName() const {
  std::string name = ExecutableName();
  // Seven characters, not bytes: step back over UTF-8 continuation bytes.
  for (int dropped = 0; dropped < 7; ++dropped) {
    if (name.empty()) return std::nullopt;
    while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80) {
      name.pop_back();
    }
    if (!name.empty()) name.pop_back();
  }
  return name;
}

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
