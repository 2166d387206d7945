// The whole database work of a run where the step-by-step reference of
// generation_test.cc does not reach: the machine copy of an integrated
// start, and questions to the user.
#include "presets/preparation.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "db/jet_export.h"
#include "jet/catalog.h"
#include "jet/page_file.h"
#include "jet/table_definition.h"
#include "platform/ansi_text.h"
#include "platform/platform.h"
#include "support/preset_project.h"

namespace zc {
namespace {

using platform::Answer;
using testing::D;
using testing::I;
using testing::Null;
using testing::PresetProject;
using testing::Row;
using testing::T;
using testing::TemplateRow;

enum { kVarName = 4, kAbsMin = 10 };

// Makes the table definition of PRESET_DEFS of an Access file claim a row
// more than it holds.
void ClaimOneRowMore(const std::string& path) {
  jet::PageFile file(path, true);
  const jet::TableDefinition catalog = jet::ReadTableDefinition(file, jet::kCatalogPage);
  for (const jet::CatalogEntry& entry : jet::ReadCatalog(file, catalog)) {
    if (entry.name != "PRESET_DEFS") continue;
    jet::Blob page = file.Read(entry.DefinitionPage());
    const std::size_t at = file.format().tdef_rows_at;
    jet::Put32(page, at, jet::Get32(page, at) + 1);
    file.Write(entry.DefinitionPage(), page);
  }
}

// One machine M1; a template of A (part 1) and B (part 2) with these
// patterns; Program.ini asks for VisiWin Studio when `vwstudio` says so.
void Prepare(PresetProject& q, const std::vector<Row>& patterns, const char* vwstudio = "false") {
  q.WriteCfg("ForMachine1=true\r\nValidMachines=ALL\r\n");
  testing::WriteFile(q.Path("parameter/Program.ini"),
                     std::string("[Project]\r\nVWStudio=") + vwstudio + "\r\n");
  q.run.ProgramIniPath = q.Path("parameter/Program.ini");
  q.SetMachines({"M1"});
  q.BuildSource(
      testing::PresetColumns(),
      {TemplateRow(1, "###machine", "A", 0, I(1)), TemplateRow(2, "###machine", "B", 0, I(2))},
      patterns);
  q.BuildComponent(testing::PresetColumns(), {});
}

// An integrated start puts the machine copy in place of the component
// database before its values are read, and leaves the copy as it was. It
// writes VisiWin 32 names whatever Program.ini says, and the copy's VisiWin
// Studio names are converted on the way.
TEST(WorkOnMdbTest, IntegratedStartsWorkFromTheMachineCopy) {
  enum Copy { kNone, kSqlite, kAccess, kMiscounted };
  const std::vector<std::string> carried = {"carried: 1 of 2\r\n",
                                            "  M1 | Gone | 0 | 1 | 2 | 3 | 4 | 0\r\n",
                                            "values came from the machine copy "};
  const std::tuple<const char*, Copy, bool, double, std::vector<std::string>> cases[] = {
      {"SQLite", kSqlite, false, 42, carried},
      // The template in an Access file too: the rebuilt table is written back.
      // Without a component database the machine copy's values are carried all the same.
      {"Access",
       kAccess,
       false,
       42,
       {"carried: 1 of 2\r\n", "Wrote PRESET_DEFS back into the Access file "}},
      {"preview",
       kSqlite,
       true,
       1,
       {"PREVIEW: ", "would be carried: 1 of 2\r\n", "  M1 | v32.A | 0 | 42 | 2 | 3 | 4 | 0\r\n",
        "would NOT be carried", "  M1 | Gone | 0 | 1 | 2 | 3 | 4 | 0\r\n",
        "A run would replace the component database"}},
      {"none", kNone, false, 1, {"Konnte die Datei:\"Zantel.mdb\" in der Vorlage nicht finden!"}},
      // Its PRESET_DEFS claims a row more than it holds: no database the
      // program can read, nothing of it is carried, and so the component
      // database is left as it was.
      {"miscounted",
       kMiscounted,
       false,
       1,
       {"(Nr. 3343) :", "gave 2 of its 3 rows", "left as it was: the earlier table could not"}},
  };
  // name, machine copy, preview, the first row's abs_min afterwards, what the run said
  for (const auto& [name, kind, preview, abs_min, said] : cases) {
    PresetProject q(std::string("/EXTERNAL=R7QCFG") + (preview ? " /PREVIEW" : ""));
    q.run.IntegratedMode = true;
    Prepare(q,
            {{T("VISIWIN32"), T("v32.###Var_Name"), I(1)},
             {T("VISIWINSTUDIO"), T("st.###Var_Name"), I(1)}},
            "true");
    if (kind == kAccess) {  // and a new picture: no component database yet
      std::filesystem::rename(q.SourcePath(), q.Path("source.sqlite"));
      db::ConvertSqliteToJet(q.Path("source.sqlite"), q.SourcePath());
      std::filesystem::remove(q.ComponentPath());
    }
    testing::WriteFile(q.Path("parameter/r7qconfiguration.ini"),
                       "[Common]\r\nSaveAndRestore=" + q.Path("copy") + "\r\n");
    Row kept = TemplateRow(1, "M1", "st.A", 0, I(1));
    kept[kAbsMin] = D(42);
    const std::string copy = q.Path("copy/Zantel/Zantel.mdb");
    if (kind != kNone) {
      (kind == kSqlite ? testing::BuildDatabase : testing::BuildAccessDatabase)(
          copy, {{"PRESET_DEFS",
                  testing::PresetColumns(),
                  {kept, TemplateRow(2, "M1", "Gone", 0, I(1))}}});
    }
    if (kind == kMiscounted) ClaimOneRowMore(copy);
    const std::string copy_bytes = testing::ReadFile(copy),
                      earlier = testing::ReadFile(q.ComponentPath());
    const auto before = testing::TreeState(q.Path(""), {"Zantel_Report.txt"});
    for (int i = 0; i < 10; ++i) q.ui.Script({Answer::kYes});  // each procedure reports once
    WorkOnMDB(q.run);
    q.run.FinishPendingWrites();

    EXPECT_EQ(testing::ReadFile(copy), copy_bytes) << name;
    std::string told = testing::ReadFile(q.Path("Zantel/Zantel_Report.txt")) + q.ErrorLog();
    for (const platform::MessageBox& box : q.ui.shown) told += box.text;
    for (const std::string& text : said)
      EXPECT_NE(told.find(text), std::string::npos) << name << ": " << text << "\n" << told;
    if (kind != kMiscounted) {
      EXPECT_EQ(q.ui.shown.size(), kind == kNone ? 1u : 0u) << name;
    }
    if (preview) {
      EXPECT_EQ(testing::TreeState(q.Path(""), {"Zantel_Report.txt"}), before);
      continue;
    }
    if (kind == kMiscounted) {
      EXPECT_TRUE(testing::ReadFile(q.ComponentPath()) == earlier);
      continue;
    }
    EXPECT_TRUE(testing::ReadFile(q.Path("Zantel/Zantel_previous.mdb")) == earlier) << name;
    std::vector<Row> rows = (kind == kAccess ? testing::ReadAccessTable : testing::ReadTable)(
        q.ComponentPath(), "PRESET_DEFS");
    ASSERT_EQ(rows.size(), 2u) << name;
    EXPECT_EQ(rows[0][kVarName], T("v32.A")) << name;
    EXPECT_EQ(rows[0][kAbsMin], D(abs_min)) << name;
  }
}

// A template's Decimal field keeps its places in the rebuilt table: with the
// engine's default scale, the Access file would hold its values rounded.
TEST(WorkOnMdbTest, ADecimalFieldOfTheTemplateKeepsItsPlaces) {
  PresetProject q;
  Prepare(q, {});
  testing::Columns columns = testing::PresetColumns();
  columns[kAbsMin].second = "DECIMAL(18,4)";
  Row row = TemplateRow(1, "###machine", "A", 0, I(1));
  row[kAbsMin] = D(1.2345);
  q.BuildSource(columns, {row}, {{T("VISIWIN32"), T("###Var_Name"), I(1)}});
  std::filesystem::rename(q.SourcePath(), q.Path("source.sqlite"));
  db::ConvertSqliteToJet(q.Path("source.sqlite"), q.SourcePath());
  WorkOnMDB(q.run);
  q.run.FinishPendingWrites();
  EXPECT_EQ(testing::ReadAccessTable(q.ComponentPath(), "PRESET_DEFS").at(0)[kAbsMin], D(1.2345));
}

// An earlier table with a field the configuration file does not declare:
// Yes carries the values, No ends the program. (A silent run warns in the
// service-pack log: bad_input_test.)
TEST(TakeoverTest, AnUndeclaredFieldIsAskedAbout) {
  const std::string cfg = testing::OnPlatform<std::string>("Zantel.cfg", "ZANTEL.CFG");
  for (Answer answer : {Answer::kYes, Answer::kNo}) {
    PresetProject p;
    Prepare(p, {{T("VISIWIN32"), T("###Var_Name"), I(1)}});
    Row earlier = TemplateRow(1, "M1", "A", 0, I(1));
    earlier[kAbsMin] = D(9);
    earlier.push_back(T("kept only in the earlier table"));
    p.BuildComponent(testing::PresetColumns({"Extra"}), {earlier});
    p.ui.Script({answer, Answer::kOk});
    if (answer == Answer::kYes) {
      WorkOnMDB(p.run);
      p.SaveAll();
      EXPECT_EQ(p.Component().at(0)[kAbsMin], D(9));
    } else {
      EXPECT_THROW(WorkOnMDB(p.run), platform::ProgramEnded);
    }
    ASSERT_EQ(p.ui.shown.size(), answer == Answer::kYes ? 1u : 2u);
    EXPECT_EQ(p.ui.shown[0].text,
              "WARNING!\n\rMachinecopy contains data in fields that won't be taken over!\n\r"
              "Configurationfile \"" +
                  cfg +
                  "\", missing entry \"DataBaseAdditionalFields \"\n\r"
                  "If you continue now this data will be lost.\n\rContinue?");
    EXPECT_EQ(p.ui.shown[0].title, "Zantel_Config");
    EXPECT_EQ(p.ui.shown[0].default_button, Answer::kNo);
    if (answer == Answer::kYes) continue;
    EXPECT_EQ(p.ui.shown[1].title, "Fatal error");
    // The program as it lies on disk: a POSIX program has no ".exe".
    std::string program = p.Path("Bin/Zantel_Config") + std::string(platform::ProgramExtension());
    if (testing::kOnWindows) program = platform::UpperCase(program);
    EXPECT_EQ(p.ErrorLog(),
              "Zantel_Config :Database-Error - Contact Administrator! Configurationprogram "
              "\"ZANTEL\" terminated. Please check Configuration in \"" +
                  cfg + "\" Restart " + program + "!\r\n" +
                  "Fehler in Zantel / Zantel_Config / TakeoverMachineCopyMDBData (Nr. 9999) "
                  ":Database-Error - Contact Administrator!\r\n");
  }
}

}  // namespace
}  // namespace zc
