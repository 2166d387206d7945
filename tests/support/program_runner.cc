#include "support/program_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace zc::testing {

std::string InstallProgram(const std::string& project) {
  std::string target = project + "/Bin/Zantel_Config";
  std::filesystem::create_directories(project + "/Bin");
  std::filesystem::copy_file(ZC_PROGRAM, target, std::filesystem::copy_options::overwrite_existing);
  return target;
}

pid_t StartProgram(const std::string& project, const std::vector<std::string>& args,
                   bool as_nobody) {
  std::string log = "TOLVA_SERVICEPACK_LOG=" + project + "/TolvaServicePack.log";
  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child > 0) return child;
  std::vector<std::string> words;
  if (as_nobody) words = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
  words.push_back(project + "/Bin/Zantel_Config");
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  ::putenv(log.data());
  for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) ::unsetenv(display);
  std::string console = project + "/console.txt";
  if (std::freopen(console.c_str(), "a", stdout) == nullptr || ::dup2(1, 2) < 0) _exit(126);
  ::alarm(120);  // outlives the exec: a hanging program ends by SIGALRM
  ::execvp(argv[0], argv.data());
  _exit(127);
}

int RunProgram(const std::string& project, const std::vector<std::string>& args, bool as_nobody) {
  int status = 0;
  ::waitpid(StartProgram(project, args, as_nobody), &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace zc::testing
