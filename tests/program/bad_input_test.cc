// The program against bad input: each case breaks one thing of a healthy
// project (or starts it where it cannot open its window), runs the program
// and checks that it says so in a log or on the console, ends within its time
// and neither damages nor loses an existing file. A preview, on a project as
// it is, changes no file at all.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "db/jet_export.h"
#include "db/jet_import.h"
#include "jet/format.h"
#include "jet/writer.h"
#include "platform/ansi_text.h"
#include "program/project_files.h"
#include "support/db_builder.h"
#include "support/program_runner.h"
#include "support/temp_project.h"

namespace zc::testing {
namespace {

namespace fs = std::filesystem;

const std::string kSource = "Zantel/Zantel_Source.mdb";
const std::string kComponent = "Zantel/Zantel.mdb";
const std::string kCfg = "Zantel/Zantel.cfg";
const std::string kEveryFile = "*";  // but what the run writes: the console and the report

using Breakage = std::function<void(const std::string& root)>;

struct Case {
  Case(const char* name, Breakage breakage, int exit_status, std::vector<std::string> logged = {},
       std::vector<std::string> unchanged = {})
      : name(name),
        breakage(std::move(breakage)),
        exit_status(exit_status),
        logged(std::move(logged)),
        unchanged(std::move(unchanged)) {}
  Case& Access() {  // the project's databases are Access files
    access = true;
    return *this;
  }
  Case& Args(std::vector<std::string> words) {
    args = std::move(words);
    return *this;
  }
  Case& AsNobody() {  // an ordinary user runs it
    as_nobody = true;
    return *this;
  }

  const char* name;
  Breakage breakage;
  int exit_status;
  std::vector<std::string> logged;     // texts the logs or the run report must hold
  std::vector<std::string> unchanged;  // files that must keep their bytes
  bool access = false;
  std::vector<std::string> args = {"/EXTERNAL=SILENT"};
  bool as_nobody = false;
};

// Lets an ordinary user into the project, then closes one folder to him.
Breakage ReadOnlyFolderForNobody(std::string folder) {
  return [=](const std::string& root) {
    for (auto& entry : fs::recursive_directory_iterator(root)) {
      fs::permissions(entry.path(), fs::perms::all, fs::perm_options::add);
    }
    fs::permissions(root, fs::perms::all, fs::perm_options::add);
    ::chmod((root + "/" + folder).c_str(), 0555);
  };
}

Breakage TextAt(std::string file, std::string text) {
  return [=](const std::string& root) { WriteFile(root + "/" + file, text); };
}

Breakage CutShort(std::string file, std::size_t length) {
  return [=](const std::string& root) {
    WriteFile(root + "/" + file, ReadFile(root + "/" + file).substr(0, length));
  };
}

Breakage Folder(std::string file) {
  return [=](const std::string& root) { fs::create_directories(root + "/" + file + "/in"); };
}

Breakage Removed(std::string file) {
  return [=](const std::string& root) { fs::remove(root + "/" + file); };
}

// Zeroes a table's first page, as a damaged disk would: the file opens and
// names the table, but its rows cannot be reached.
Breakage Damaged(std::string file, std::string table) {
  return [=](const std::string& root) {
    const std::string path = root + "/" + file;
    int page =
        std::stoi(QueryText(path, "SELECT rootpage FROM sqlite_master WHERE name='" + table + "'"));
    int size = std::stoi(QueryText(path, "PRAGMA page_size"));
    std::fstream bytes(path, std::ios::in | std::ios::out | std::ios::binary);
    bytes.seekp(std::streamoff{page - 1} * size);
    bytes.write(std::string(size, '\0').data(), size);
  };
}

// Statements run on one of the project's databases; an Access file is made
// anew from an SQLite copy that took them.
Breakage Sql(std::string file, std::vector<std::string> statements) {
  return [=](const std::string& root) {
    const std::string path = root + "/" + file, copy = path + ".sqlite";
    const bool access = jet::KindOfFile(path) != jet::FileKind::kOther;
    if (access) db::ConvertJetToSqlite(path, copy);
    for (const std::string& sql : statements) QueryText(access ? copy : path, sql);
    if (!access) return;
    fs::remove(path);
    db::ConvertSqliteToJet(copy, path);
    fs::remove(copy);
  };
}

// An Access 2007 (.accdb) file under the old name.
Breakage Accdb(std::string file) {
  return [=](const std::string& root) {
    WriteFile(root + "/" + file, ReadFile(root + "/" + file).replace(4, 15, "Standard ACE DB"));
  };
}

Breakage Both(Breakage first, Breakage second) {
  return [=](const std::string& root) {
    first(root);
    second(root);
  };
}

// The table made again WITHOUT ROWID, keyed by ID, as an SQLite tool can.
Breakage WithoutRowid(std::string file, std::string table) {
  std::string columns;
  for (const auto& [name, type] : PresetColumns()) columns += name + " " + type + ", ";
  return Sql(file, {"ALTER TABLE " + table + " RENAME TO Old",
                    "CREATE TABLE " + table + " (" + columns + "PRIMARY KEY (ID)) WITHOUT ROWID",
                    "INSERT INTO " + table + " SELECT * FROM Old", "DROP TABLE Old"});
}

// The file's text again, in `encoding` behind its byte order mark.
Breakage Encoded(std::string file, platform::TextEncoding encoding) {
  return [=](const std::string& root) {
    WriteFile(root + "/" + file, platform::EncodeText(ReadFile(root + "/" + file), encoding));
  };
}

std::vector<Case> Cases() {
  std::string machines = "[Project]\r\nNumberOfMachines=30000\r\n", garbage;
  for (int m = 1; m <= 30000; ++m) {
    machines += "[Machine" + std::to_string(m) + "]\r\nMachineName=M" + std::to_string(m) + "\r\n";
  }
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 256);
  const std::vector<std::string> preview_report = {
      "PREVIEW: ", "  Total: 6\r\n", "would be carried: 4 of 4\r\n",
      "  M2 | M2.Var0 | 0 | 103 | 104 | 105 | 106 | 1\r\n",
      "A run would replace the component database"};
  const std::vector<std::string> databases = {kSource, kComponent};
  const std::string count_overflows = "[Project]\r\nNumberOfMachines=40000\r\n";
  const Breakage no_abs_min =
      Sql(kSource, {"ALTER TABLE Source_PRESET_DEFS RENAME abs_min TO absmin"});
  const std::vector<std::string> without_abs_min = {
      "(Nr. 3265) :The rebuilt PRESET_DEFS has no field abs_min", "carried: 0 of 4\r\n",
      "dropped): 0\r\n"};
  const std::vector<std::string> refused_open = {"(Nr. 3051) :",
                                                 "Zantel.ldb' exists). Close the display"};
  return {
      Case("source is no database", TextAt(kSource, "no database here"), 2,
           {"Unrecognized database format"}, databases),
      Case("component is no database", TextAt(kComponent, "no database here"), 2,
           {"Unrecognized database format"}),
      Case("no source database", Removed(kSource), 0, {}, {kComponent}),
      Case("no component database yet", Removed(kComponent), 0,
           {"The component database was replaced by the rebuilt one."}),
      Case("Source_DEFS missing", Sql(kSource, {"DROP TABLE Source_DEFS"}), 2, {"Source_DEFS"}),
      Case("Source_PRESET_DEFS missing", Sql(kSource, {"DROP TABLE Source_PRESET_DEFS"}), 2,
           {"left as it was"}, {kComponent}),
      // A table whose rows cannot be reached is reported by the procedure
      // going through it; the run goes on with bare names, or carries nothing.
      Case("Source_DEFS unreadable", Damaged(kSource, "Source_DEFS"), 2,
           {"/ WorkOnMDB (Nr. 3343)"}),
      Case("earlier PRESET_DEFS unreadable", Damaged(kComponent, "PRESET_DEFS"), 2,
           {"/ VarNameInQuelleErsetzen (Nr. 3343)", "/ TakeoverMachineCopyMDBData (Nr. 3343)",
            "earlier table could not be read"}),
      // The earlier table has a part the new one lacks: the take-over stops the run.
      Case("part missing", Sql(kSource, {"ALTER TABLE Source_PRESET_DEFS DROP COLUMN part"}), 1,
           {"demanded field \"PART\"missing"}, {kComponent}),
      // Rows whose key cannot be looked up are listed in the run report with
      // why, and are no failure: the caller reads the error log.
      Case("var_name missing",
           Sql(kSource, {"ALTER TABLE Source_PRESET_DEFS DROP COLUMN var_name"}), 0,
           {"cannot be looked up: Too few parameters"}),
      Case("part after var_name",
           Sql(kSource, {"ALTER TABLE Source_PRESET_DEFS DROP COLUMN part",
                         "ALTER TABLE Source_PRESET_DEFS ADD COLUMN part SHORT",
                         "UPDATE Source_PRESET_DEFS SET part = 1"}),
           2, {"Invalid use of Null", "Invalid use of Null (5 more times)\r\n"}),
      Case("text in offset_or_bitno",
           Sql(kSource, {"ALTER TABLE Source_PRESET_DEFS DROP COLUMN offset_or_bitno",
                         "ALTER TABLE Source_PRESET_DEFS ADD COLUMN offset_or_bitno TEXT(10)",
                         "UPDATE Source_PRESET_DEFS SET offset_or_bitno = ID - 1"}),
           0, {"cannot be looked up: Data type mismatch in criteria expression"}),
      // Tables an SQLite tool made without rowids are read by their key.
      Case("template and earlier table WITHOUT ROWID",
           [](const std::string& root) {
             WithoutRowid(kSource, "Source_PRESET_DEFS")(root);
             WithoutRowid(kComponent, "PRESET_DEFS")(root);
           },
           0, {"  Total: 6\r\n", "carried: 4 of 4\r\n"}),
      // The older layout's field is renamed and the values carried all the same.
      Case("older layout",
           Sql(kComponent, {"ALTER TABLE PRESET_DEFS RENAME category_id TO CATEGORIE"}), 0,
           {"carried: 4 of 4\r\n"}),
      // An empty earlier table is an ordinary state: nothing to carry, no failure.
      Case("empty earlier table", Sql(kComponent, {"DELETE FROM PRESET_DEFS"}), 0,
           {"carried: 0 of 0\r\n"}),
      // Keeping the replaced database is best effort: the new one is put in place all the same.
      Case("previous database cannot be kept", Folder("Zantel/Zantel_previous.mdb"), 2,
           {"could not be kept as", "The component database was replaced by the rebuilt one."}),
      Case("earlier PRESET_DEFS missing",
           Sql(kComponent, {"ALTER TABLE PRESET_DEFS RENAME TO Other"}), 2,
           {"/ DAO.TableDefs / CategorieNachCategoryID (Nr. 3265)"}),
      // A silent run warns in the service-pack log and carries the values.
      Case("undeclared field in the earlier table",
           Sql(kComponent, {"ALTER TABLE PRESET_DEFS ADD COLUMN Extra TEXT(50)"}), 0,
           {"! Fault Zantel_Config: WARNING!Machinecopy contains data in fields that won't be "
            "taken over!Configurationfile \"Zantel.cfg\", missing entry "
            "\"DataBaseAdditionalFields \"If you continue now this data will be lost.Continue?\r\n",
            "carried: 4 of 4\r\n"}),
      // What the run did: rows per machine, and every earlier row dropped.
      Case("machine 2 not configured", TextAt(kCfg, "[Project]\r\nForMachine1=true\r\n"), 0,
           {"  M1: 3\r\n", "  M2: not configured\r\n", "  Total: 3\r\n", "carried: 3 of 4\r\n",
            "  M2 | M2.Var0 | 0 | 103 | 104 | 105 | 106 | 1\r\n", "Naming system: VISIWIN32\r\n"}),
      Case("300-character machine name",
           TextAt("parameter/Program.ini",
                  "[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\n"
                  "MachineName=" +
                      std::string(300, 'M') + "\r\n"),
           2, {"The field is too small"}),
      Case("40000 machines counted",
           TextAt("parameter/Program.ini", "[Project]\r\nNumberOfMachines=40000\r\n"), 2,
           {"(Nr. 6) :Overflow"}),
      Case("30,000 machines", TextAt("parameter/Program.ini", machines), 0),
      Case("binary garbage in Program.ini", TextAt("parameter/Program.ini", garbage), 2,
           {"Subscript out of range"}),
      Case("read-only cfg",
           [](const std::string& root) { ::chmod((root + "/" + kCfg).c_str(), 0444); }, 2,
           {"could not be written"}, {kCfg}),
      Case("cfg is a folder",
           [](const std::string& root) {
             fs::remove(root + "/" + kCfg);
             fs::create_directories(root + "/" + kCfg);
           },
           1, {"File not found"}, {kComponent}),
      Case("read-only component folder", ReadOnlyFolderForNobody("Zantel"), 2,
           {"cannot be written"}, {kSource, kComponent, kCfg})
          .AsNobody(),
      // The language file cannot grow there: the window does as well without.
      Case("read-only program folder", ReadOnlyFolderForNobody("Bin"), 0).AsNobody(),
      Case("no display for the window", nullptr, 1, {"No display"}).Args({}),
      Case("help by --help", nullptr, 0, {"Exit status:"}).Args({"--help"}),
      Case("help by -h", nullptr, 0, {"Exit status:"}).Args({"-h"}),
      Case("help by /?", nullptr, 0, {"Exit status:"}).Args({"/?"}),
      Case("Access 2007 source", Accdb(kSource), 2, {"Access 2007 or later"}, databases).Access(),
      Case("Access source cut short", CutShort(kSource, 3 * 4096 + 100), 2,
           {"damaged or incomplete"}, databases)
          .Access(),
      Case(
          "read-only Access source",
          [](const std::string& root) { ::chmod((root + "/" + kSource).c_str(), 0444); }, 2,
          {"Permission denied"}, databases)
          .Access(),
      Case("Access source open in Access", TextAt("Zantel/Zantel_Source.ldb", ""), 2,
           {"is open in Access"}, databases)
          .Access(),
      Case(
          "Access source whose PRESET_DEFS is a link",
          [](const std::string& root) {
            jet::ReplaceTable(root + "/" + kSource, "PRESET_DEFS",
                              {{"ID", jet::DataType::kLong, 4}},
                              [](std::vector<jet::Value>&) { return false; });
            MakeLinkedTable(root + "/" + kSource, "PRESET_DEFS");
          },
          2, {"already holds an object named \"PRESET_DEFS\""}, databases)
          .Access(),
      // An Access 97 file stays one.
      Case("Access 97 source",
           [](const std::string& root) {
             const std::string source = root + "/" + kSource, sqlite = root + "/template.sqlite";
             db::ConvertJetToSqlite(source, sqlite);
             fs::copy_file(Fixture("jet3_sample.mdb"), source,
                           fs::copy_options::overwrite_existing);
             fs::permissions(source, fs::perms::owner_write, fs::perm_options::add);
             db::WriteTablesToJet(sqlite, {"Source_DEFS", "Source_PRESET_DEFS"}, source, source);
           },
           0, {"Wrote PRESET_DEFS back into the Access file"})
          .Access(),
      Case("preview", nullptr, 0, preview_report, {kEveryFile})
          .Args({"/EXTERNAL=SILENT", "/PREVIEW"}),
      Case("Access preview, its key first in small letters", nullptr, 0, preview_report,
           {kEveryFile})
          .Access()
          .Args({"/preview", "/EXTERNAL=SILENT"}),
      // INI files as Windows reads them, UTF-8 or UTF-16 after a byte order mark.
      Case("cfg with a UTF-8 byte order mark", Encoded(kCfg, platform::TextEncoding::kUtf8), 0,
           {"  M1: 3\r\n", "  M2: 3\r\n", "carried: 4 of 4\r\n"}),
      Case("Program.ini in UTF-16",
           Encoded("parameter/Program.ini", platform::TextEncoding::kUtf16Le), 0,
           {"  M2: 3\r\n", "  Total: 6\r\n"}),
      // Messages name files by their real paths, not upper-cased.
      Case("paths in messages",
           [](const std::string& root) {
             TextAt("parameter/Program.ini", "[Project]\r\nNumberOfMachines=40000\r\n")(root);
             Removed(kCfg)(root);
           },
           1, {"/R7Qcfglog.txt\r\n", "/Zantel/Zantel.cfg\r\n"}),
      // No language file can be read or written: a silent run does without.
      Case("language file cannot be written", Folder("Bin/Zantel_Config.ini"), 0),
      // A failure never costs the display its table: no machine listed, or
      // no field to carry the values into, leaves it as it was.
      Case("no Program.ini", Removed("parameter/Program.ini"), 2,
           {"left as it was: the rebuilt table has no rows, while the earlier one has 4"},
           {kComponent}),
      Case("Access, 40000 machines counted", TextAt("parameter/Program.ini", count_overflows), 2,
           {"(Nr. 6) :Overflow", "the rebuilt table has no rows"}, {kComponent})
          .Access(),
      Case("template without abs_min", no_abs_min, 2, without_abs_min, {kComponent}),
      Case("Access template without abs_min", no_abs_min, 2, without_abs_min, {kComponent})
          .Access(),
      Case("Access 2007 component", Accdb(kComponent), 2,
           {"Access 2007 or later", "The earlier table could not be read"}, {kComponent})
          .Access(),
      // A component database that may not be replaced now is refused first.
      Case("component open in the display", TextAt("Zantel/Zantel.ldb", ""), 2, refused_open,
           databases),
      Case("Access component open in the display", TextAt("Zantel/Zantel.ldb", ""), 2, refused_open,
           databases)
          .Access(),
      Case(
          "read-only Access component",
          [](const std::string& root) { ::chmod((root + "/" + kComponent).c_str(), 0444); }, 2,
          {"(Nr. 3051) :", "Permission denied). Make it writable"}, databases)
          .Access(),
      // A machine configured without a name gets no rows; a value too long
      // for its field names the field, the machine and the first such row.
      Case("machine 3 without a name",
           Both(TextAt("parameter/Program.ini",
                       "[Project]\r\nNumberOfMachines=3\r\n[Machine1]\r\nMachineName=M1\r\n"),
                TextAt(kCfg, "[Project]\r\nForMachine1=true\r\nForMachine3=true\r\n")),
           2, {"Machine 3 has no name: MachineName is missing or empty in section [Machine3] of "}),
      Case("no source database, the report", Removed(kSource), 0,
           {"No template database was found at ", "Zantel_Source.mdb: nothing was rebuilt."}),
      Case("60-character machine name",
           TextAt("parameter/Program.ini",
                  "[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\n"
                  "MachineName=" +
                      std::string(60, 'M') + "\r\n"),
           2,
           {"(field machine_type, at most 50 characters; machine " + std::string(60, 'M') +
            "; first in the row of ID 1 from template row ID 1) (2 more times)"}),
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
  if (c.breakage) c.breakage(root);
  const auto tree = TreeState(root, {"console.txt", "Zantel_Report.txt"});
  std::map<std::string, std::string> before;
  for (const std::string& file : c.unchanged) before[file] = ReadFile(root + "/" + file);
  std::string templates = TemplateTables(root + "/" + kSource);
  std::string component = ReadFile(root + "/" + kComponent);
  const jet::FileKind kind = jet::KindOfFile(root + "/" + kSource);

  EXPECT_EQ(RunProgram(root, c.args, c.as_nobody), c.exit_status);

  std::string logs = ReadFile(root + "/R7Qcfglog.txt") + ReadFile(root + "/TolvaServicePack.log") +
                     ReadFile(root + "/console.txt") + ReadFile(root + "/Zantel/Zantel_Report.txt");
  for (const std::string& text : c.logged) {
    EXPECT_NE(logs.find(text), std::string::npos) << text << " not logged:\n" << logs;
  }
  EXPECT_EQ(logs.find("Internal error"), std::string::npos) << logs;
  const auto now = TreeState(root, {"console.txt", "Zantel_Report.txt"});
  if (before.count(kEveryFile)) {
    EXPECT_TRUE(now == tree) << "a file changed";
  }
  for (const auto& [file, bytes] : before) {
    EXPECT_TRUE(file == kEveryFile || ReadFile(root + "/" + file) == bytes) << file << " changed";
  }
  for (const auto& [file, state] : now) {
    EXPECT_EQ(file.find(".zc-work"), std::string::npos) << file << " was left behind";
  }
  EXPECT_TRUE(TemplateTables(root + "/" + kSource) == templates) << "the template changed";
  EXPECT_EQ(jet::KindOfFile(root + "/" + kSource), kind) << "the source changed its format";
  if (ReadFile(root + "/" + kComponent) != component &&
      !fs::is_directory(root + "/Zantel/Zantel_previous.mdb")) {
    EXPECT_TRUE(ReadFile(root + "/Zantel/Zantel_previous.mdb") == component)
        << "the replaced component database was not kept";
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
