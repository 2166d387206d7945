// A whole silent database run on a synthetic project, on SQLite files and on
// Access files, next to its floor: raw SQLite doing the same inserts and
// keyed updates. Each side runs in a child process of its own on a fresh
// copy of the project, so its time and peak memory are its own; the sides
// take turns round by round, and the figures are medians over the rounds.
//   work_on_mdb_bench [--rounds N] [machines template-rows earlier-rows]
//     without a size: 5 x 20,000 rows with 100,000 earlier rows, then
//     50 x 20,000 rows with 1,000,000 earlier rows
//   work_on_mdb_bench --profile sqlite|access|floor machines template-rows earlier-rows DIR
//     one side alone in this process (the project is built in a child), for
//     valgrind --tool=callgrind --toggle-collect='zc::bench::*Run*'
//     (the floor: --toggle-collect='zc::bench::RawFloor*')
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench_project.h"
#include "support/temp_project.h"

namespace {

using zc::bench::Size;

struct Measured {
  double seconds, user, system;  // wall-clock time, processor time in the program and the system
  double peak_mib;
};

double Seconds(const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; }

Measured InChild(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  pid_t child = fork();
  if (child == 0) {
    work();
    std::_Exit(0);
  }
  int status = 0;
  struct rusage usage {};
  wait4(child, &status, 0, &usage);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "a benchmark child failed\n");
    std::exit(1);
  }
  return {seconds, Seconds(usage.ru_utime), Seconds(usage.ru_stime), usage.ru_maxrss / 1024.0};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// One side's figures over the rounds.
struct Side {
  const char* name;
  std::vector<double> seconds, user, system, to_floor;
  double peak_mib = 0;
};

void Print(const Side& side, double rows) {
  double seconds = Median(side.seconds);
  std::printf("  %-18s %6.2f s %6.2f us/row  cpu %5.2f + %4.2f s  peak %6.1f MiB  %5.2f x floor\n",
              side.name, seconds, seconds / rows * 1e6, Median(side.user), Median(side.system),
              side.peak_mib, Median(side.to_floor));
}

void Copy(const std::string& from, const std::string& to) {
  std::filesystem::remove_all(to);
  std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
}

void Measure(const Size& size, int rounds) {
  zc::testing::TempDir dir;
  const std::string sqlite = dir.path() + "/sqlite", access = dir.path() + "/access";
  InChild([&] { zc::bench::BuildProject(sqlite + ".built", size, false); });
  InChild([&] { zc::bench::BuildProject(access + ".built", size, true); });
  Side floor{"raw SQLite floor", {}, {}, {}, {}}, run{"run, SQLite files", {}, {}, {}, {}},
      jet{"run, Access files", {}, {}, {}, {}};
  std::vector<double> jet_to_run;
  for (int round = 0; round < rounds; ++round) {
    Copy(sqlite + ".built", sqlite);
    Copy(access + ".built", access);
    // The sides take turns in a different order each round.
    Measured m[3];
    for (int k = 0; k < 3; ++k) {
      switch ((k + round) % 3) {
        case 0:
          m[0] = InChild([&] { zc::bench::RawFloor(sqlite, size); });
          break;
        case 1:
          m[1] = InChild([&] { zc::bench::WholeRun(sqlite, size); });
          break;
        default:
          m[2] = InChild([&] { zc::bench::WholeRun(access, size); });
          break;
      }
    }
    Side* sides[] = {&floor, &run, &jet};
    for (int k = 0; k < 3; ++k) {
      sides[k]->seconds.push_back(m[k].seconds);
      sides[k]->user.push_back(m[k].user);
      sides[k]->system.push_back(m[k].system);
      sides[k]->to_floor.push_back(m[k].seconds / m[0].seconds);
      sides[k]->peak_mib = std::max(sides[k]->peak_mib, m[k].peak_mib);
    }
    jet_to_run.push_back(m[2].seconds / m[1].seconds);
  }
  double rows = static_cast<double>(size.machines) * size.template_rows;
  std::printf("%d machines x %d template rows (17 fields), %d earlier rows; median of %d rounds\n",
              size.machines, size.template_rows, size.earlier_rows, rounds);
  for (const Side* side : {&floor, &run, &jet}) Print(*side, rows);
  std::printf("  Access run / SQLite run: %.2f\n", Median(jet_to_run));
  std::fflush(stdout);
}

int Profile(char** argv) {
  std::string kind = argv[2], dir = argv[6];
  Size size{std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5])};
  InChild([&] { zc::bench::BuildProject(dir, size, kind == "access"); });
  if (kind == "floor") {
    zc::bench::RawFloor(dir, size);
  } else {
    zc::bench::WholeRun(dir, size);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 7 && std::strcmp(argv[1], "--profile") == 0) return Profile(argv);
  int rounds = 5, first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--rounds") == 0) {
    rounds = std::max(1, std::atoi(argv[2]));
    first = 3;
  }
  if (argc - first == 3) {
    Measure({std::atoi(argv[first]), std::atoi(argv[first + 1]), std::atoi(argv[first + 2])},
            rounds);
  } else if (argc == first) {
    Measure({5, 20000, 100000}, rounds);
    Measure({50, 20000, 1000000}, rounds);
  } else {
    std::fprintf(stderr,
                 "usage: work_on_mdb_bench [--rounds N] [machines template-rows earlier-rows]\n"
                 "       work_on_mdb_bench --profile sqlite|access|floor machines template-rows "
                 "earlier-rows DIR\n");
    return 2;
  }
  return 0;
}
