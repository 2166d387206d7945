#include "fuzz_support.h"

#include <sanitizer/common_interface_defs.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

namespace zc::fuzz {
namespace {

namespace fs = std::filesystem;

// ZC_FUZZ_SCRATCH names the place (scripts/fuzz.sh removes it after a crash
// too); otherwise memory, otherwise the temporary folder.
std::string ScratchBase() {
  auto set = [](const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0' ? value : nullptr;
  };
  if (const char* named = set("ZC_FUZZ_SCRATCH")) return named;
  if (::access("/dev/shm", W_OK) == 0) return "/dev/shm";
  if (const char* temp = set("TMPDIR")) return temp;
  return "/tmp";
}

std::string MakeScratchFolder() {
  std::string base = ScratchBase();
  std::string pattern = base + "/zc-fuzz.XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) Violated("a scratch folder can be made", base);
  return pattern;
}

}  // namespace

const std::string& ScratchFolder() {
  // Never destroyed, so the clean-up at exit can still name it.
  static const std::string* folder = [] {
    auto* made = new std::string(MakeScratchFolder());
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(ScratchFolder(), ignored);
    });
    return made;
  }();
  return *folder;
}

void Violated(std::string_view promise, std::string_view detail) {
  // Through the sanitizer's report channel: libFuzzer keeps it open when
  // -close_fd_mask silences what the code under test prints.
  std::string report = "\nBROKEN: " + std::string(promise) + "\n" + std::string(detail);
  __sanitizer_report_error_summary(report.c_str());
  std::abort();
}

std::optional<Failure> FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Failure& failure) {
    return failure;
  } catch (const std::exception& other) {
    Violated("every failure is a zc::Failure", other.what());
  }
  return std::nullopt;
}

std::string Printable(std::string_view text) {
  std::string out;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && c != '\\') {
      out += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    }
  }
  return out;
}

}  // namespace zc::fuzz
