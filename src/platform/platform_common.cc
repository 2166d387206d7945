// Path rules shared by both platforms, where only the separator differs, and
// file work built on the platforms' own primitives.
#include "platform/ansi_text.h"
#include "platform/platform.h"

namespace zc::platform {

std::string FileNameOf(std::string_view path) {
  auto cut = path.find_last_of(Separator());
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != Separator()) path += Separator();
  return path.append(name);
}

std::string FileNameWithoutExtension(std::string_view path) {
  std::string name = FileNameOf(path);
  std::string_view extension = ProgramExtension();
  // Only the program extension goes: any other dot belongs to the name.
  if (!extension.empty() && name.size() > extension.size() &&
      UpperCase(name.substr(name.size() - extension.size())) == UpperCase(extension)) {
    name.resize(name.size() - extension.size());
  }
  return name;
}

std::string FolderOf(std::string_view path) {
  auto cut = path.find_last_of(Separator());
  if (cut == std::string_view::npos) return "";
  std::string folder(path.substr(0, cut));
  // A root keeps its separator: "/" on POSIX, "C:\" on Windows.
  if (folder.empty() || (folder.size() == 2 && folder[1] == ':')) folder += Separator();
  return folder;
}

std::string ParentFolderByRule(std::string_view folder) {
  std::string parent(folder);
  while (!parent.empty() && parent.back() != Separator()) parent.pop_back();
  if (!parent.empty()) parent.pop_back();
  return parent;
}

std::filesystem::path NativePath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Path(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

std::string WriteWholeFile(const std::string& path, std::string_view bytes) {
  if (std::string refused = RefusedWriteReason(path); !refused.empty()) return refused;
  return ReplaceFileAtomically(
      path, [&](const std::string& temp) { return WriteBytesInto(temp, bytes); });
}

}  // namespace zc::platform
