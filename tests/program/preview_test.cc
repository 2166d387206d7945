// A preview runs the whole work on scratch copies: the report tells what a
// run would carry and drop, and no other file of the project changes.
#include <gtest/gtest.h>

#include "program/project_files.h"
#include "support/program_runner.h"
#include "support/temp_project.h"

namespace zc::testing {
namespace {

struct PreviewCase {
  const char* name;
  bool access;
  std::vector<std::string> args;
};

class PreviewTest : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(PreviewTest, OnlyTheReportIsWritten) {
  TempDir dir;
  WriteHealthyProject(dir.path(), 2, 3, 4, GetParam().access);
  const std::set<std::string> run_output = {"console.txt", "Zantel_Report.txt"};
  const auto before = TreeState(dir.path(), run_output);
  ASSERT_EQ(RunProgram(dir.path(), GetParam().args).exit_status, 0)
      << ReadFile(dir.path() + "/console.txt");
  EXPECT_EQ(TreeState(dir.path(), run_output), before);
  const std::string report = ReadFile(dir.path() + "/Zantel/Zantel_Report.txt");
  for (const char* line : {"PREVIEW: ", "  Total: 6\r\n", "would be carried: 4 of 4\r\n",
                           "  M2 | M2.Var0 | 0 | 103 | 104 | 105 | 106 | 1\r\n",
                           "A run would replace the component database"}) {
    EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Program, PreviewTest,
    ::testing::Values(PreviewCase{"Sqlite", false, {"/EXTERNAL=SILENT", "/PREVIEW"}},
                      PreviewCase{"AccessKeyFirstInLowerCase", true, {"/preview", "/EXTERNAL=SILENT"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zc::testing
