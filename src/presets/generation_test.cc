// The generation and the name conversion. Generated projects, with names
// that collide across machines, letter cases and naming systems, are run
// through the generation and the whole database work and compared with a
// plain step-by-step reference of the same rules; then what the reference
// leaves out: integrated starts.
#include "presets/generation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

#include "platform/ansi_text.h"
#include "presets/preparation.h"
#include "presets/tables.h"
#include "support/preset_project.h"

namespace zc {
namespace {

using platform::Answer;
using testing::I;
using testing::Null;
using testing::PresetProject;
using testing::Row;
using testing::T;
using testing::TemplateRow;

enum { kId, kPart, kMachine, kType, kVarName, kCategory, kIsBit, kOffset, kText };

struct Project {
  std::vector<std::string> machines;
  std::vector<bool> included;
  std::string patterns[2][kMaxPart + 1];
  std::int16_t system = kVisiWin32;
  std::vector<Row> template_rows;
  std::vector<Row> component;
};

// --- The reference: the rules written out plainly, on values in memory. ---

std::string ReplaceFirst(const std::string& text, const std::string& search,
                         const std::string& by) {
  auto found = platform::UpperCase(text).find(platform::UpperCase(search));
  return found == std::string::npos
             ? text
             : text.substr(0, found) + by + text.substr(found + search.size());
}

bool SameText(const db::Value& a, const std::string& b) {
  return a.IsText() && platform::UpperCase(a.AsText()) == platform::UpperCase(b);
}

// Generation, with the component rows' names (at `name_column`) converted. A
// machine without a name gets no rows: that is reported.
void Reference(const Project& p, std::vector<Row>& generated, std::vector<Row>& component,
               size_t name_column = 1) {
  component = p.component;
  std::vector<Row> template_rows = p.template_rows;  // read in ID order, ties as stored
  std::stable_sort(template_rows.begin(), template_rows.end(), [](const Row& a, const Row& b) {
    return a[kId].AsNumber() < b[kId].AsNumber();
  });
  std::int64_t id = 1;
  for (size_t m = 0; m < p.machines.size(); ++m) {
    if (!p.included[m] || p.machines[m].empty()) continue;
    const std::string& machine = p.machines[m];
    for (const Row& t : template_rows) {
      Row row = t;
      row[kId] = I(id++);
      for (size_t j = 1; j < row.size(); ++j) {
        if (row[j].IsText() && j != kVarName)
          row[j] = T(ReplaceFirst(row[j].AsText(), "###machine", machine));
      }
      int part = row[kPart].IsNull() ? 0 : static_cast<int>(row[kPart].AsNumber());
      if (part < 1 || part > kMaxPart) {
        row[kVarName] = Null();  // reported; the row is kept without a name
      } else {
        std::string forms[2];
        for (int s : {0, 1}) {
          std::string name = ReplaceFirst(p.patterns[s][part], "###Var_Name", t[kVarName].AsText());
          forms[s] = ReplaceFirst(ReplaceFirst(name, "###machine", machine), "###machine", machine);
        }
        const std::string& searched = forms[p.system == kVisiWin32 ? 1 : 0];
        for (Row& c : component) {
          if (SameText(c[name_column], searched)) c[name_column] = T(forms[p.system]);
        }
        row[kVarName] = T(forms[p.system]);
      }
      generated.push_back(row);
    }
  }
}

// The take-over: every earlier row, in stored order, gives its five values to
// the first generated row with the same machine, variable and offset. How
// many earlier rows were carried, were not, and matched more than one row.
std::array<size_t, 3> ReferenceTakeOver(const std::vector<Row>& earlier,
                                        std::vector<Row>& generated) {
  constexpr int kAbsMin = 10;
  std::array<size_t, 3> counts{};
  for (const Row& c : earlier) {
    Row* first = nullptr;
    int matches = 0;
    for (Row& g : generated) {
      bool same = !c[kOffset].IsNull() && SameText(g[kMachine], c[kMachine].ToText()) &&
                  SameText(g[kVarName], c[kVarName].ToText()) && !g[kOffset].IsNull() &&
                  g[kOffset].AsNumber() == c[kOffset].AsNumber();
      if (same && matches++ == 0) first = &g;
    }
    if (first) std::copy(c.begin() + kAbsMin, c.begin() + kAbsMin + 5, first->begin() + kAbsMin);
    ++counts[first ? 0 : 1];
    counts[2] += matches > 1;
  }
  return counts;
}

// The patterns Source_DEFS gives, row by row; a row of a naming system that
// cannot be read leaves bare names for part 1, and reading goes on.
void ReadPatterns(const std::vector<Row>& defs, std::string (&patterns)[2][kMaxPart + 1]) {
  for (auto& system : patterns) std::fill(std::begin(system), std::end(system), "");
  for (const Row& row : defs) {
    for (int s : {0, 1}) {
      if (!SameText(row[0], tables::kSystemNames[s])) continue;
      const double part = row[2].AsNumber();
      if (row[1].IsNull() || part < 1 || part > kMaxPart) {
        patterns[0][1] = patterns[1][1] = "###Var_Name";
      } else {
        patterns[s][static_cast<int>(part)] = row[1].AsText();
      }
    }
  }
}

// --- Random projects that make names collide. ---

Project RandomProject(std::mt19937& random) {
  auto pick = [&](std::initializer_list<const char*> options) {
    std::vector<const char*> v(options);
    return std::string(v[random() % v.size()]);
  };
  Project p;
  int machines = 1 + random() % 3;
  for (int m = 0; m < machines; ++m) {
    p.machines.push_back(pick({"M1", "m1", "M10", "Ärger", "ärger", ""}));
    p.included.push_back(random() % 4 != 0);
  }
  for (int s : {0, 1}) {
    for (int part = 1; part <= 3; ++part) {
      p.patterns[s][part] = pick({"###Var_Name", "###machine.###Var_Name", "###MACHINE_###var_name",
                                  "", "fixed", "###Var_Name.###machine.###machine"});
    }
  }
  p.system = random() % 2;
  int rows = random() % 6;
  for (int i = 0; i < rows; ++i) {
    const int parts[] = {1, 2, 3, 1, 2, 3, 0, 4, 50, 51};  // 1 to 50 are parts
    db::Value part = random() % 10 == 0 ? Null() : I(parts[random() % 10]);
    p.template_rows.push_back(testing::TemplateRow(
        static_cast<int>(random() % 100), pick({"###machine", "###MACHINE and ###machine", "x"}),
        pick({"v", "V", "v_###machine", "w\"q", "ä"}), i, part));
  }
  int component = random() % 8;
  for (int i = 0; i < component; ++i) {
    db::Value name = T(
        pick({"v", "M1.v", "m1.V", "fixed", "Ärger.ä", "ärger.Ä", "w\"Q", "v_M10", "v_m1.M1.m1"}));
    p.component.push_back({I(i), random() % 10 == 0 ? Null() : name});
  }
  return p;
}

// The project's machines, and which of them the configuration file includes.
void LayOut(testing::PresetProject& tree, const Project& p) {
  std::string cfg;
  for (size_t m = 0; m < p.machines.size(); ++m) {
    const char* yes[] = {"true", "TRUE", "True"};  // read without regard to case
    cfg += "ForMachine" + std::to_string(m + 1) + "=" + (p.included[m] ? yes[m % 3] : "false") +
           "\r\n";
  }
  tree.WriteCfg(cfg);
  tree.SetMachines(p.machines);
}

Row RandomEarlierRow(std::mt19937& random, int id) {
  auto pick = [&](std::vector<std::string> options) { return options[random() % options.size()]; };
  Row row = testing::TemplateRow(id, pick({"M1", "m1", "M10", "ärger", ""}),
                                 pick({"v", "M1.v", "m1.V", "fixed", "Ärger.ä", "w\"Q", "v_M10",
                                       "M10.Status.v", "ärger.v_ärger"}),
                                 static_cast<int>(random() % 3), I(1));
  if (random() % 10 == 0) row[kOffset] = Null();
  for (int k = 10; k < 14; ++k) row[k] = random() % 5 == 0 ? Null() : testing::D(random() % 1000);
  row[14] = random() % 5 == 0 ? Null() : I(random() % 3);
  return row;
}

// Each random project twice: the generation alone, with the name patterns
// set and the earlier table's names converted, and the whole database work,
// with the patterns read from Source_DEFS and the earlier values carried.
TEST(GenerationTest, RandomProjectsMatchTheStepByStepRules) {
  std::mt19937 random(20261206);
  for (int round = 0; round < 60; ++round) {
    Project p = RandomProject(random);
    PresetProject tree("/EXTERNAL=SILENT");  // bad parts are reported without a dialog
    LayOut(tree, p);
    for (int s : {0, 1}) {
      for (int part = 1; part <= kMaxPart; ++part)
        tree.run.VarNamePatterns[s][part] = p.patterns[s][part];
    }
    tree.run.VWStudioIndex = p.system;
    tree.BuildSource(testing::PresetColumns(), p.template_rows, {});
    tree.BuildComponent({{"ID", "LONG"}, {"var_name", "TEXT(255)"}}, p.component);
    db::Database db = tree.run.engine.OpenDatabase(tree.SourcePath());
    CreateRecordSets(tree.run, db);
    tree.SaveAll();
    std::vector<Row> generated, component;
    Reference(p, generated, component);
    EXPECT_EQ(tree.Generated(), generated) << "round " << round;
    EXPECT_EQ(tree.Component(), component) << "round " << round;
    const std::int64_t total = p.machines.size() * p.template_rows.size();
    if (total > 0) {
      EXPECT_EQ(tree.ui.progress.back(), std::make_pair(total, total));
    }

    for (Row& t : p.template_rows) t[kOffset] = I(random() % 3);
    if (!p.template_rows.empty() && random() % 2) {  // a key that two generated rows have
      p.template_rows.push_back(p.template_rows[0]);
      p.template_rows.back()[kId] = I(100);
    }
    // Source_DEFS names the systems in any letter case; now and then it has
    // rows of another system, and rows that cannot be read.
    std::vector<Row> defs;
    for (int s : {0, 1}) {
      for (int part = 1; part <= 3; ++part) {
        defs.push_back(
            {T(s == 0 ? "VisiWin32" : "visiwinstudio"), T(p.patterns[s][part]), I(part)});
      }
    }
    for (Row odd : {Row{T("OTHER"), T("other"), I(2)}, Row{T("VISIWIN32"), Null(), I(2)},
                    Row{T("VISIWINSTUDIO"), T("bad"), I(51)}}) {
      if (random() % 3 == 0) defs.insert(defs.end() - random() % 3, odd);
    }
    ReadPatterns(defs, p.patterns);
    // The earlier table has every field: random rows, and rows with the keys
    // of generated rows, so that values are carried.
    p.component.clear();
    generated.clear();
    Reference(p, generated, component, kVarName);
    int earlier_rows = static_cast<int>(random() % 8);
    for (int i = 0; i < earlier_rows; ++i) p.component.push_back(RandomEarlierRow(random, i));
    for (const Row& g : generated) {
      if (g[kVarName].IsNull() || random() % 2) continue;
      Row row = RandomEarlierRow(random, static_cast<int>(p.component.size()));
      for (int k : {kMachine, kVarName, kOffset}) row[k] = g[k];
      p.component.insert(p.component.begin() + random() % (p.component.size() + 1), row);
    }
    PresetProject whole("/EXTERNAL=SILENT");
    whole.run.SilentMode = true;
    LayOut(whole, p);
    testing::WriteFile(whole.Path("parameter/Program.ini"),
                       std::string("[Project]\r\nVWStudio=") + (p.system ? "TRUE" : "false"));
    whole.run.ProgramIniPath = whole.Path("parameter/Program.ini");
    whole.BuildSource(testing::PresetColumns(), p.template_rows, defs);
    whole.BuildComponent(testing::PresetColumns(), p.component);
    WorkOnMDB(whole.run);
    generated.clear();
    Reference(p, generated, component, kVarName);
    const std::array<size_t, 3> counts = ReferenceTakeOver(component, generated);
    bool nameless = false;
    for (size_t m = 0; m < p.machines.size(); ++m)
      nameless |= p.included[m] && p.machines[m].empty();
    EXPECT_EQ(whole.Component(), generated) << "round " << round;
    const RunReport& report = whole.run.report;
    EXPECT_EQ((std::array<size_t, 3>{static_cast<size_t>(report.carried), report.not_carried.size(),
                                     report.matched_twice.size()}),
              counts)
        << "round " << round;
    // Only bad parts and nameless machines are reported; earlier rows that are
    // not carried go to the run report only.
    bool reported = nameless && !p.template_rows.empty();
    for (const Row& row : generated) reported |= row[kVarName].IsNull();
    EXPECT_EQ(whole.ErrorLog().empty(), !reported) << "round " << round << ": " << whole.ErrorLog();
  }
}

// The rows generated from `template_rows` for the project's machines.
std::vector<Row> Generate(PresetProject& p, const std::vector<Row>& template_rows) {
  p.BuildSource(testing::PresetColumns(), template_rows, {});
  db::Database db = p.run.engine.OpenDatabase(p.SourcePath());
  CreateRecordSets(p.run, db);
  p.SaveAll();
  return p.Generated();
}

TEST(GenerationTest, IntegratedRunsIncludeMachinesByTheValidMachinesText) {
  struct Case {
    const char* valid;
    std::vector<std::string> machines;
    std::vector<std::string> included;
  } cases[] = {
      {"ALL", {"M1", "M2"}, {"M1", "M2"}},
      {"aLl", {"M1", "M2"}, {"M1", "M2"}},
      {"M10", {"M1", "M2"}, {"M1"}},  // a substring test, not a list
      {"m2,m3", {"M1", "M2", "M3"}, {"M2", "M3"}},
      {"X", {"", "M1"}, {""}},  // an empty name is found in any text
      {"", {"", "M1"}, {}},
  };
  for (const Case& c : cases) {
    PresetProject p("/EXTERNAL=R7QCFG");
    p.run.IntegratedMode = true;
    p.WriteCfg(std::string("ValidMachines=") + c.valid + "\r\n");
    p.SetMachines(c.machines);
    std::vector<std::string> machines;
    for (const Row& row : Generate(p, {TemplateRow(1, "###machine", "v", 0, I(1))})) {
      machines.push_back(row[kMachine].AsText());
    }
    EXPECT_EQ(machines, c.included) << c.valid;
  }
}

}  // namespace
}  // namespace zc
