// A whole silent run of the real program, and the same run killed at random
// moments: nothing is lost. The component database is sound and holds either
// the earlier or the new data, the template is untouched, and the next run
// completes.
//   ZC_KILL_ROUNDS (default 5) sets how many kills.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <thread>

#include "program/project_files.h"
#include "support/db_builder.h"
#include "support/program_runner.h"
#include "support/temp_project.h"

namespace zc::testing {
namespace {

namespace fs = std::filesystem;

// On a project of SQLite files, and on one of Access files.
class KillTest : public ::testing::TestWithParam<bool> {};

TEST_P(KillTest, AKilledRunLosesNothing) {
  const bool access = GetParam();
  int rounds = std::getenv("ZC_KILL_ROUNDS") ? std::atoi(std::getenv("ZC_KILL_ROUNDS")) : 5;
  TempDir dir;
  const std::string pristine = dir.path() + "/pristine";
  WriteHealthyProject(pristine, 8, 10000, 40000, access);  // a run of about two seconds
  const std::string component = "/Zantel/Zantel.mdb", source = "/Zantel/Zantel_Source.mdb";
  const std::vector<std::string> templates = {"Source_DEFS", "Source_PRESET_DEFS"};
  const std::string earlier = DumpDatabase(pristine + component);
  const std::string template_dump = DumpDatabase(pristine + source, templates);

  // The whole run: the rebuilt table in both databases, which are sound, the
  // replaced database kept, the template's file times too.
  const std::string full = dir.path() + "/full";
  fs::copy(pristine, full, fs::copy_options::recursive);
  const auto source_time = fs::last_write_time(full + source);
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunProgram(full, {"/EXTERNAL=SILENT"}), 0) << ReadFile(full + "/console.txt");
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  const std::vector<Row> renewed_rows = RenewedPresets(8, 10000, 40000);
  for (const std::string& file : {component, source}) {
    EXPECT_EQ(IntegrityCheck(full + file), "ok") << file;
    EXPECT_TRUE((access ? ReadAccessTable : ReadTable)(full + file, "PRESET_DEFS") == renewed_rows)
        << file;
  }
  if (!access) {  // lookup indexes order by a collation that other SQLite tools lack
    EXPECT_EQ(QueryText(full + component, "SELECT count(*) FROM sqlite_master WHERE type='index'"),
              "0");
  }
  EXPECT_EQ(fs::last_write_time(full + source), source_time);
  EXPECT_EQ(ReadFile(full + "/Zantel/Zantel_previous.mdb"), ReadFile(pristine + component));
  const std::string renewed = DumpDatabase(full + component);
  ASSERT_NE(renewed, earlier);

  std::mt19937 random(std::random_device{}());
  int kept_earlier = 0, kept_new = 0;
  for (int round = 0; round < rounds; ++round) {
    const std::string project = dir.path() + "/round" + std::to_string(round);
    fs::copy(pristine, project, fs::copy_options::recursive);
    auto delay = took * std::uniform_real_distribution<>(0.05, 1.0)(random);
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
    EXPECT_EQ(DumpDatabase(project + source, templates), template_dump) << "round " << round;
    ASSERT_EQ(RunProgram(project, {"/EXTERNAL=SILENT"}), 0) << "round " << round;
    EXPECT_EQ(DumpDatabase(project + component), renewed) << "round " << round;
    fs::remove_all(project);
  }
  std::printf(
      "%s: %d kills: %d left the earlier database, %d the new one; every next run "
      "completed\n",
      access ? "Access files" : "SQLite files", rounds, kept_earlier, kept_new);
}

INSTANTIATE_TEST_SUITE_P(Program, KillTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Access" : "Sqlite"; });

// A second start while the first works (held still by SIGSTOP once its
// scratch copies exist) changes nothing, not even those, and ends with 1. The
// holder, killed by SIGKILL, leaves its lock file, which blocks nobody.
TEST(LockTest, ASecondStartChangesNothingAndAKilledHolderBlocksNobody) {
  TempDir dir;
  const std::string project = dir.path(), lock = project + "/Zantel/.Zantel.zc-lock";
  WriteHealthyProject(project, 8, 2500, 10000);  // a run of about a second
  auto working = [&] {
    for (const auto& file : fs::directory_iterator(project + "/Zantel")) {
      if (file.path().filename().string().ends_with(".zc-work")) return true;
    }
    return false;
  };
  pid_t holder = StartProgram(project, {"/EXTERNAL=SILENT"});
  while (!working()) ASSERT_EQ(::waitpid(holder, nullptr, WNOHANG), 0);
  ::kill(holder, SIGSTOP);
  const std::set<std::string> logs = {"console.txt", "R7Qcfglog.txt", "TolvaServicePack.log"};
  const auto tree = TreeState(project, logs);
  EXPECT_EQ(RunProgram(project, {"/EXTERNAL=SILENT"}), 1);
  EXPECT_TRUE(TreeState(project, logs) == tree) << "the second start changed a file";
  const std::string said = "Another run is working on Zantel:";
  EXPECT_NE(ReadFile(project + "/R7Qcfglog.txt").find(said), std::string::npos);
  EXPECT_NE(ReadFile(project + "/TolvaServicePack.log").find(said), std::string::npos);
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  EXPECT_TRUE(fs::exists(lock));
  EXPECT_EQ(RunProgram(project, {"/EXTERNAL=SILENT"}), 0) << ReadFile(project + "/console.txt");
  EXPECT_TRUE(ReadTable(project + "/Zantel/Zantel.mdb", "PRESET_DEFS") ==
              RenewedPresets(8, 2500, 10000));
  EXPECT_FALSE(fs::exists(lock));
}

}  // namespace
}  // namespace zc::testing
