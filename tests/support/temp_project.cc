#include "support/temp_project.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zc::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zc-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Tests make files read-only; give the owner write access back first.
  for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, std::string_view content) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

platform::ProcessFacts FactsFor(const std::string& executable_path, const std::string& command_line,
                                const std::string& service_pack_log) {
  platform::ProcessFacts facts;
  facts.executable_path = executable_path;
  facts.command_line = command_line;
  facts.first_environment_entry = "USERNAME=tester";
  facts.version = {1, 0, 1};
  facts.service_pack_log_path = service_pack_log;
  return facts;
}

}  // namespace zc::testing
