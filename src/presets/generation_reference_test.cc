// Generated projects, with names that collide across machines, letter cases
// and naming systems, run through the generation and compared with a plain
// step-by-step reference of the same rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/ansi_text.h"
#include "presets/generation.h"
#include "presets/preparation.h"
#include "support/preset_project.h"

namespace zc {
namespace {

using testing::I;
using testing::Null;
using testing::Row;
using testing::T;

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

// Generation, with the component rows' names (at `name_column`) converted.
void Reference(const Project& p, std::vector<Row>& generated, std::vector<Row>& component,
               size_t name_column = 1) {
  component = p.component;
  std::vector<Row> template_rows = p.template_rows;  // read in ID order, ties as stored
  std::stable_sort(template_rows.begin(), template_rows.end(), [](const Row& a, const Row& b) {
    return a[kId].AsNumber() < b[kId].AsNumber();
  });
  std::int64_t id = 1;
  for (size_t m = 0; m < p.machines.size(); ++m) {
    if (!p.included[m]) continue;
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
// the first generated row with the same machine, variable and offset.
void ReferenceTakeOver(const std::vector<Row>& earlier, std::vector<Row>& generated) {
  constexpr int kAbsMin = 10;
  for (const Row& c : earlier) {
    if (c[kOffset].IsNull()) continue;  // its key cannot be looked up
    for (Row& g : generated) {
      bool same = SameText(g[kMachine], c[kMachine].ToText()) &&
                  SameText(g[kVarName], c[kVarName].ToText()) && !g[kOffset].IsNull() &&
                  g[kOffset].AsNumber() == c[kOffset].AsNumber();
      if (!same) continue;
      std::copy(c.begin() + kAbsMin, c.begin() + kAbsMin + 5, g.begin() + kAbsMin);
      break;
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
  int rows = 1 + random() % 6;
  for (int i = 0; i < rows; ++i) {
    db::Value part =
        random() % 10 == 0 ? db::Value(Null()) : I(1 + random() % (random() % 8 == 0 ? 4 : 3));
    p.template_rows.push_back(testing::TemplateRow(static_cast<int>(random() % 100), "###machine",
                                                   pick({"v", "V", "v_###machine", "w\"q", "ä"}), i,
                                                   part));
  }
  int component = random() % 8;
  for (int i = 0; i < component; ++i) {
    p.component.push_back({I(i), T(pick({"v", "M1.v", "m1.V", "fixed", "Ärger.ä", "ärger.Ä", "w\"Q",
                                         "v_M10", "v_m1.M1.m1"}))});
  }
  return p;
}

TEST(GenerationReferenceTest, RandomProjectsMatchTheStepByStepRules) {
  std::mt19937 random(20261206);
  for (int round = 0; round < 60; ++round) {
    Project p = RandomProject(random);
    testing::PresetProject tree("/EXTERNAL=SILENT");  // bad parts are reported without a dialog
    std::string cfg;
    for (size_t m = 0; m < p.machines.size(); ++m) {
      cfg +=
          "ForMachine" + std::to_string(m + 1) + "=" + (p.included[m] ? "true" : "false") + "\r\n";
    }
    tree.WriteCfg(cfg);
    tree.SetMachines(p.machines);
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
  }
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

TEST(WholeRunReferenceTest, RandomProjectsMatchTheStepByStepRules) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    Project p = RandomProject(random);
    for (Row& t : p.template_rows) t[kOffset] = I(random() % 3);
    p.component.clear();  // the earlier table here has every field
    int earlier_rows = static_cast<int>(random() % 12);
    for (int i = 0; i < earlier_rows; ++i) p.component.push_back(RandomEarlierRow(random, i));
    std::vector<Row> patterns;
    for (int s : {0, 1}) {
      for (int part = 1; part <= 3; ++part) {
        patterns.push_back(
            {T(s == 0 ? "VisiWin32" : "visiwinstudio"), T(p.patterns[s][part]), I(part)});
      }
    }

    testing::PresetProject tree("/EXTERNAL=SILENT");
    tree.run.SilentMode = true;
    std::string cfg;
    for (size_t m = 0; m < p.machines.size(); ++m) {
      cfg +=
          "ForMachine" + std::to_string(m + 1) + "=" + (p.included[m] ? "true" : "false") + "\r\n";
    }
    tree.WriteCfg(cfg);
    testing::WriteFile(
        tree.Path("parameter/Program.ini"),
        std::string("[Project]\r\nVWStudio=") + (p.system ? "true" : "false") + "\r\n");
    tree.run.ProgramIniPath = tree.Path("parameter/Program.ini");
    tree.SetMachines(p.machines);
    tree.BuildSource(testing::PresetColumns(), p.template_rows, patterns);
    tree.BuildComponent(testing::PresetColumns(), p.component);
    WorkOnMDB(tree.run);

    std::vector<Row> generated, converted;
    Reference(p, generated, converted, kVarName);
    ReferenceTakeOver(converted, generated);
    EXPECT_EQ(testing::ReadTable(tree.ComponentPath(), "PRESET_DEFS"), generated)
        << "round " << round;
  }
}

}  // namespace
}  // namespace zc
