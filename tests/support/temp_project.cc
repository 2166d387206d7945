#include "support/temp_project.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include "platform/win32_text.h"
#endif

namespace zc::testing {

bool UnderWine() {
#ifdef _WIN32
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

std::string Native(std::string_view relative) {
  std::string native(relative);
  std::replace(native.begin(), native.end(), '/', platform::Separator());
  return native;
}

std::string AtRoot(std::string_view relative) {
  return (platform::Separator() == '/' ? "/" : "D:\\") + Native(relative);
}

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
  std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

TempDir::TempDir() {
  static std::mt19937_64 random{std::random_device{}()};
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate = base / ("zc-test-" + std::to_string(random()));
    // Creating fails for a name that is taken, so every test gets its own folder.
    if (std::filesystem::create_directory(candidate)) {
      path_ = Utf8Of(candidate);
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder in " + Utf8Of(base));
}

TempDir::~TempDir() {
  std::error_code ignored;
  const std::filesystem::path root = PathOf(path_);
  // Tests make files read-only; give the owner write access back first.
  for (auto& entry : std::filesystem::recursive_directory_iterator(root, ignored)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(root, ignored);
}

void WriteFile(const std::string& path, std::string_view content) {
  std::filesystem::create_directories(PathOf(path).parent_path());
  std::ofstream out(PathOf(path), std::ios::binary);
  out << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::map<std::string, std::string> TreeState(const std::string& root,
                                             const std::set<std::string>& ignored) {
  std::map<std::string, std::string> state;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(PathOf(root))) {
    if (!entry.is_regular_file() || ignored.count(Utf8Of(entry.path().filename()))) continue;
    const std::string path = Utf8Of(entry.path());
    state[path.substr(root.size())] =
        std::to_string(entry.last_write_time().time_since_epoch().count()) + " " + ReadFile(path);
  }
  return state;
}

platform::ProcessFacts FactsFor(const std::string& executable_path, const std::string& command_line,
                                const std::string& service_pack_log) {
  return {executable_path, command_line, "USERNAME=tester", {1, 0, 1}, service_pack_log};
}

}  // namespace zc::testing
