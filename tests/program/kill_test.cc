// Kills the program at random moments of a run and checks that nothing is
// lost: the component database is sound and holds either the earlier or the
// new data, the template is untouched, and the next run completes.
//   ZC_KILL_ROUNDS (default 5) sets how many kills.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include "program/project_files.h"
#include "support/db_builder.h"
#include "support/program_runner.h"
#include "support/temp_project.h"

namespace zc::testing {
namespace {

namespace fs = std::filesystem;

std::string TemplateDump(const std::string& source) {
  return DumpDatabase(source, {"Source_DEFS", "Source_PRESET_DEFS"});
}

// On a project of SQLite files, and on one of Access files.
class KillTest : public ::testing::TestWithParam<bool> {};

TEST_P(KillTest, AKilledRunLosesNothing) {
  int rounds = std::getenv("ZC_KILL_ROUNDS") ? std::atoi(std::getenv("ZC_KILL_ROUNDS")) : 5;
  TempDir dir;
  const std::string pristine = dir.path() + "/pristine";
  WriteHealthyProject(pristine, 8, 10000, 40000, GetParam());  // a run of about two seconds
  const std::string component = "/Zantel/Zantel.mdb", source = "/Zantel/Zantel_Source.mdb";
  const std::string earlier = DumpDatabase(pristine + component);
  const std::string templates = TemplateDump(pristine + source);

  const std::string full = dir.path() + "/full";
  fs::copy(pristine, full, fs::copy_options::recursive);
  ProgramResult complete = RunProgram(full, {"/EXTERNAL=SILENT"});
  ASSERT_EQ(complete.exit_status, 0);
  const std::string renewed = DumpDatabase(full + component);
  ASSERT_NE(renewed, earlier);

  std::mt19937 random(std::random_device{}());
  int kept_earlier = 0, kept_new = 0;
  for (int round = 0; round < rounds; ++round) {
    const std::string project = dir.path() + "/round" + std::to_string(round);
    fs::copy(pristine, project, fs::copy_options::recursive);
    auto delay = std::chrono::duration<double>(complete.took.count() *
                                               std::uniform_real_distribution<>(0.05, 1.0)(random));
    pid_t child = StartProgram(project, {"/EXTERNAL=SILENT"});
    std::this_thread::sleep_for(delay);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    ASSERT_EQ(IntegrityCheck(project + component), "ok") << "round " << round;
    ASSERT_EQ(IntegrityCheck(project + source), "ok") << "round " << round;
    std::string after = DumpDatabase(project + component);
    ASSERT_TRUE(after == earlier || after == renewed)
        << "round " << round << " after " << delay.count() << " s";
    (after == earlier ? kept_earlier : kept_new)++;
    EXPECT_EQ(TemplateDump(project + source), templates) << "round " << round;
    ASSERT_EQ(RunProgram(project, {"/EXTERNAL=SILENT"}).exit_status, 0) << "round " << round;
    EXPECT_EQ(DumpDatabase(project + component), renewed) << "round " << round;
    fs::remove_all(project);
  }
  std::printf("%s: %d kills: %d left the earlier database, %d the new one; every next run "
              "completed\n",
              GetParam() ? "Access files" : "SQLite files", rounds, kept_earlier, kept_new);
}

INSTANTIATE_TEST_SUITE_P(Program, KillTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Access" : "Sqlite"; });

}  // namespace
}  // namespace zc::testing
