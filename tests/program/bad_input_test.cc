// The program against bad input: each case breaks one thing of a healthy
// project (or starts it where it cannot open its window), runs the program
// and checks that it says so in a log or on the console, ends within its time
// and neither damages nor loses an existing file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <set>

#include "jet/writer.h"
#include "program/project_files.h"
#include "support/db_builder.h"
#include "support/program_runner.h"
#include "support/temp_project.h"

namespace zc::testing {
namespace {

namespace fs = std::filesystem;

struct Case {
  const char* name;
  std::function<void(const std::string& root)> breakage;
  std::set<int> exit_statuses;
  const char* logged;                  // text that a log or the run report must hold
  std::vector<std::string> unchanged;  // files that must keep their bytes
  bool as_nobody = false;
  std::vector<std::string> args = {"/EXTERNAL=SILENT"};
  bool access = false;  // the project's databases are Access files
};

const std::string kSource = "Zantel/Zantel_Source.mdb";
const std::string kComponent = "Zantel/Zantel.mdb";
const std::string kCfg = "Zantel/Zantel.cfg";

// Lets an ordinary user into the project, then closes one folder to him.
void ReadOnlyFolderForNobody(const std::string& root, const std::string& folder) {
  for (auto& entry : fs::recursive_directory_iterator(root)) {
    fs::permissions(entry.path(), fs::perms::all, fs::perm_options::add);
  }
  fs::permissions(root, fs::perms::all, fs::perm_options::add);
  ::chmod((root + "/" + folder).c_str(), 0555);
}

// A breakage of an Access project: every file a plant's file would be.
Case OfAccessProject(const char* name, std::function<void(const std::string& root)> breakage,
                     const char* logged) {
  return {name, std::move(breakage), {2}, logged, {kSource, kComponent}, false,
          {"/EXTERNAL=SILENT"}, true};
}

Case AskedForHelp(const char* name, const char* argument) {
  return {name, [](const std::string&) {}, {0}, "Exit status:", {}, false, {argument}};
}

void RebuildSource(const std::string& root,
                   std::vector<std::pair<std::string, std::string>> columns, bool with_defs = true,
                   bool with_template = true) {
  std::vector<TableSpec> tables;
  if (with_defs) {
    tables.push_back({"Source_DEFS",
                      {{"System", "TEXT(20)"}, {"Var_Name", "TEXT(255)"}, {"Part", "SHORT"}},
                      {{T("VISIWIN32"), T("###machine.###Var_Name"), I(1)}}});
  }
  std::vector<Row> rows;
  for (int i = 0; i < 3; ++i) {
    Row row;
    for (const auto& [name, type] : columns) {
      if (name == "part")
        row.push_back(I(1));
      else if (name == "offset_or_bitno")
        row.push_back(type[0] == 'T' ? T(std::to_string(i)) : I(i));
      else if (type.rfind("TEXT", 0) == 0)
        row.push_back(T(name == "machine_type" ? "###machine" : "Var" + std::to_string(i)));
      else
        row.push_back(I(i + 1));
    }
    rows.push_back(row);
  }
  if (with_template) tables.push_back({"Source_PRESET_DEFS", columns, rows});
  BuildDatabase(root + "/Zantel/Zantel_Source.mdb", tables);
}

std::vector<std::pair<std::string, std::string>> Without(const char* field) {
  auto columns = PresetColumns();
  std::erase_if(columns, [&](const auto& c) { return c.first == field; });
  return columns;
}


std::vector<Case> Cases() {
  auto text_at = [](std::string file, std::string text) {
    return [=](const std::string& root) { WriteFile(root + "/" + file, text); };
  };
  return {
      {"source is no database",
       text_at(kSource, "no database here"),
       {2},
       "Unrecognized database format",
       {kSource, kComponent}},
      {"component is no database",
       text_at(kComponent, "no database here"),
       {2},
       "Unrecognized database format",
       {}},
      {"source cut short",
       [](const std::string& root) {
         std::string bytes = ReadFile(root + "/" + kSource);
         WriteFile(root + "/" + kSource, bytes.substr(0, 2048));
       },
       {2},
       "Unrecognized database format",
       {kSource, kComponent}},
      {"Source_DEFS missing",
       [](const std::string& root) { RebuildSource(root, PresetColumns(), false); },
       {2},
       "Source_DEFS",
       {}},
      {"Source_PRESET_DEFS missing",
       [](const std::string& root) { RebuildSource(root, PresetColumns(), true, false); },
       {2},
       "left as it was",
       {kComponent}},
      // The earlier table has a part the new one lacks: the take-over stops the run.
      {"part missing",
       [](const std::string& root) { RebuildSource(root, Without("part")); },
       {1},
       "demanded field \"PART\"missing",
       {kComponent}},
      // Rows whose key cannot be looked up are listed in the run report with
      // why, and are no failure: the caller reads the error log.
      {"var_name missing",
       [](const std::string& root) { RebuildSource(root, Without("var_name")); },
       {0},
       "cannot be looked up: Too few parameters",
       {}},
      {"part after var_name",
       [](const std::string& root) {
         auto columns = Without("part");
         columns.push_back({"part", "SHORT"});
         RebuildSource(root, columns);
       },
       {2},
       "Invalid use of Null",
       {}},
      {"text in offset_or_bitno",
       [](const std::string& root) {
         auto columns = PresetColumns();
         for (auto& c : columns)
           if (c.first == "offset_or_bitno") c.second = "TEXT(10)";
         RebuildSource(root, columns);
       },
       {0},
       "cannot be looked up: Data type mismatch in criteria expression",
       {}},
      {"300-character machine name",
       text_at("parameter/Program.ini",
               "[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\nMachineName=" +
                   std::string(300, 'M') + "\r\n"),
       {2},
       "The field is too small",
       {}},
      {"read-only cfg",
       [](const std::string& root) { ::chmod((root + "/" + kCfg).c_str(), 0444); },
       {2},
       "could not be written",
       {kCfg}},
      {"read-only component folder",
       [](const std::string& root) { ReadOnlyFolderForNobody(root, "Zantel"); },
       {2},
       "cannot be written",
       {kSource, kComponent, kCfg},
       true},
      // The language file cannot grow there: the window does as well without.
      {"read-only program folder",
       [](const std::string& root) { ReadOnlyFolderForNobody(root, "Bin"); },
       {0},
       "",
       {},
       true},
      {"no display for the window", [](const std::string&) {}, {1}, "No display", {}, false, {}},
      AskedForHelp("help by --help", "--help"),
      AskedForHelp("help by -h", "-h"),
      AskedForHelp("help by /?", "/?"),
      OfAccessProject("Access 2007 source",
                      [](const std::string& root) {
                        std::string bytes = ReadFile(root + "/" + kSource);
                        WriteFile(root + "/" + kSource, bytes.replace(4, 15, "Standard ACE DB"));
                      },
                      "Access 2007 or later"),
      OfAccessProject("Access source cut short",
                      [](const std::string& root) {
                        std::string bytes = ReadFile(root + "/" + kSource);
                        WriteFile(root + "/" + kSource, bytes.substr(0, 3 * 4096 + 100));
                      },
                      "damaged or incomplete"),
      OfAccessProject("read-only Access source",
                      [](const std::string& root) { ::chmod((root + "/" + kSource).c_str(), 0444); },
                      "Permission denied"),
      OfAccessProject("Access source open in Access",
                      [](const std::string& root) {
                        WriteFile(root + "/Zantel/Zantel_Source.ldb", "");
                      },
                      "is open in Access"),
      OfAccessProject("Access source whose PRESET_DEFS is a link",
                      [](const std::string& root) {
                        jet::ReplaceTable(root + "/" + kSource, "PRESET_DEFS",
                                          {{"ID", jet::FieldType::kLong, 4}},
                                          [](std::vector<jet::Value>&) { return false; });
                        MakeLinkedTable(root + "/" + kSource, "PRESET_DEFS");
                      },
                      "already holds an object named \"PRESET_DEFS\""),
      {"40000 machines counted",
       text_at("parameter/Program.ini", "[Project]\r\nNumberOfMachines=40000\r\n"),
       {2},
       "(Nr. 6) :Overflow",
       {}},
      {"binary garbage in Program.ini",
       [](const std::string& root) {
         std::string garbage;
         for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 256);
         WriteFile(root + "/parameter/Program.ini", garbage);
       },
       {2},
       "Subscript out of range",
       {}},
      {"cfg is a folder",
       [](const std::string& root) {
         fs::remove(root + "/" + kCfg);
         fs::create_directories(root + "/" + kCfg);
       },
       {1},
       "File not found",
       {kComponent}},
      {"30,000 machines",
       [](const std::string& root) {
         std::string ini = "[Project]\r\nNumberOfMachines=30000\r\n";
         for (int m = 1; m <= 30000; ++m) {
           ini +=
               "[Machine" + std::to_string(m) + "]\r\nMachineName=M" + std::to_string(m) + "\r\n";
         }
         WriteFile(root + "/parameter/Program.ini", ini);
       },
       {0},
       "",
       {}},
  };
}

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

// The template's tables of a source database; "" when it is no database.
std::string TemplateTables(const std::string& source) {
  try {
    return DumpDatabase(source, {"Source_DEFS", "Source_PRESET_DEFS"});
  } catch (const std::exception&) {
    return "";
  }
}

class BadInputTest : public ::testing::TestWithParam<Case> {};

TEST_P(BadInputTest, IsLoggedAndCostsNoFile) {
  const Case& c = GetParam();
  if (c.as_nobody && (::geteuid() != 0 || !fs::exists("/usr/bin/setpriv"))) {
    GTEST_SKIP() << "needs root and setpriv to run the program as an ordinary user";
  }
  TempDir dir;
  const std::string root = dir.path();
  WriteHealthyProject(root, 2, 3, 4, c.access);
  c.breakage(root);
  std::string templates = TemplateTables(root + "/" + kSource);
  std::map<std::string, std::string> before;
  for (const std::string& file : c.unchanged) before[file] = ReadFile(root + "/" + file);
  std::string component_before = ReadFile(root + "/" + kComponent);

  ProgramResult result = RunProgram(root, c.args, std::chrono::seconds(60), c.as_nobody);

  ASSERT_FALSE(result.timed_out) << c.name;
  EXPECT_TRUE(c.exit_statuses.count(result.exit_status)) << c.name << ": " << result.exit_status;
  std::string logs = ReadFile(root + "/R7Qcfglog.txt") + ReadFile(root + "/TolvaServicePack.log") +
                     ReadFile(root + "/console.txt") + ReadFile(root + "/Zantel/Zantel_Report.txt");
  EXPECT_NE(logs.find(c.logged), std::string::npos) << c.name << " logged:\n" << logs;
  for (const auto& [file, bytes] : before) {
    EXPECT_TRUE(ReadFile(root + "/" + file) == bytes) << c.name << ": " << file << " changed";
  }
  EXPECT_TRUE(TemplateTables(root + "/" + kSource) == templates) << c.name << ": template changed";
  if (ReadFile(root + "/" + kComponent) != component_before) {
    EXPECT_TRUE(ReadFile(root + "/Zantel/Zantel_previous.mdb") == component_before)
        << c.name << ": the replaced component database was not kept";
  }
}

INSTANTIATE_TEST_SUITE_P(Program, BadInputTest, ::testing::ValuesIn(Cases()), [](const auto& info) {
  std::string name;
  for (char ch : std::string(info.param.name))
    name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return name;
});

}  // namespace
}  // namespace zc::testing
