#include "bench/process_cases.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <stdexcept>

#include <benchmark/benchmark.h>

#include "bench/io_floor.h"

extern char** environ;

namespace pelk::bench {
namespace {

constexpr int kSize = 512;
const char* const kEmptyProgram = "process: empty C++ program";

struct ProcessCase {
  std::string name;
  std::vector<std::string> argv;
  std::string comparedWith;  // a row of the same size, or none
  std::string floorOf;       // the in-process case whose files make the floor, or none
  // Run in blocks alternated with the timed runs, timed apart, when the difference to it is what
  // the row is for: another command line, or the compared case in process.
  std::vector<std::string> alternateArgv = {};
  bool alternateInProcess = false;
};

// Runs one process to its end with its standard output going to `out`; throws unless it ends
// with status 0. Returns the CPU time it took, user and system, in seconds.
double runProcess(const std::vector<std::string>& args, const char* out = "/dev/null") {
  std::vector<std::string> copy = args;
  std::vector<char*> argv;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  if (spawned != 0) throw std::runtime_error("cannot start " + args[0]);
  int status = 0;
  rusage usage{};
  if (::wait4(pid, &status, 0, &usage) != pid) throw std::runtime_error("wait4 failed");
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error(args[0] + " did not end with status 0");
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The peak resident size of one run, in MB, taken through the small measuring program.
double peakMegabytes(const std::vector<std::string>& args) {
  std::vector<std::string> measured{PELK_BENCH_PEAK};
  measured.insert(measured.end(), args.begin(), args.end());
  const char* report = "peak-rss.txt";
  runProcess(measured, report);
  std::ifstream in(report);
  long kilobytes = 0;
  if (!(in >> kilobytes)) throw std::runtime_error("no peak size for " + args[0]);
  return static_cast<double>(kilobytes) / 1024.0;
}

std::vector<ProcessCase> processCases() {
  // Without the results store, like the in-process rows they are compared with: recording has
  // rows of its own, and a benchmark must not fill the user's store.
  const std::vector<std::string> scans{PELK40_CLI, "--no-store", "--std",   "std.bmp",
                                       "--ref",    "ref.bmp",    "--third", "third.bmp"};
  std::vector<ProcessCase> cases{
      {kEmptyProgram, {PELK_BENCH_EMPTY}, "", ""},
      {"process: pelk40-cli --version", {PELK40_CLI, "--version"}, kEmptyProgram, ""},
  };
  const std::pair<const char*, const char*> legacy[] = {
      {"rra1", "3. Rel. Rank Analysis-1"},
      {"rra2", "Opt2. Rel. Rank Analysis-2"},
      {"mchs", "4. Multi Corr. Highlight Sys."},
      {"zchs", "Opt 1. Zonal Corr. Highlight Sys."},
      {"cluster", "5. Cluster"},
      {"diff", "6. Diiferential Image"},
      {"tpa", "10. Tumor Prog. Analysis-1"},
      {"synopsis1", "7. Synopsis Cocktail 1"},
      {"synopsis2", "9. Synopsus Cocktail 2"},
  };
  for (const auto& [word, caseName] : legacy) {
    std::vector<std::string> argv = scans;
    argv.push_back(word);
    cases.push_back(
        {std::string("process: pelk40-cli ") + word, argv, caseName, caseName, {}, true});
  }
  // What storing a run adds to it, as a user's command line pays it: the same "7." recorded
  // into a store of its own (which grows over the iterations, and is copied back from its log
  // every few runs), alternated in blocks with the unstored "7.": timed minutes apart, the two
  // differed by the machine's drift as much as by the store.
  std::vector<std::string> stored = scans;
  stored[1] = "--store=sqlite:process-store.sqlite";
  stored.push_back("synopsis1");
  std::vector<std::string> unstored = scans;
  unstored.push_back("synopsis1");
  cases.push_back({"process: pelk40-cli synopsis1, stored", stored, "process: pelk40-cli synopsis1",
                   "", unstored});
  return cases;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Times each run of `argv` alone, from spawn to exit.
double runTimed(benchmark::State& state, const std::vector<std::string>& argv) {
  const auto start = std::chrono::steady_clock::now();
  const double cpu = runProcess(argv);
  state.SetIterationTime(secondsSince(start));
  return cpu;
}

// Runs the case in blocks of ten, each after ten runs of its alternate (`alternate` runs one and
// returns its seconds): returns the timed runs' CPU seconds and the alternate runs' mean time.
// Blocks, not single runs: work a command leaves behind (a child copying the store's log back,
// the disk writing out its files) then slows its own kind of run, as it does in a batch, not the
// next run of the other.
std::pair<double, double> runAlternated(benchmark::State& state, const ProcessCase& c,
                                        const std::function<double()>& alternate) {
  constexpr int kBlock = 10;
  double cpu = 0.0, alternateSeconds = 0.0;
  int runs = 0, alternateRuns = 0;
  for (auto _ : state) {
    if (runs++ % kBlock == 0)
      for (int i = 0; i < kBlock; ++i, ++alternateRuns) alternateSeconds += alternate();
    cpu += runTimed(state, c.argv);
  }
  return {cpu, alternateSeconds / static_cast<double>(std::max(alternateRuns, 1))};
}

}  // namespace

void registerProcessCases(ResultsTable& table, const std::filesystem::path& dir,
                          FloorFiles floorFiles, InProcessRun inProcess) {
  for (const ProcessCase& c : processCases()) {
    const std::string key = c.name + "/" + std::to_string(kSize);
    const std::string floorKey = "floor: " + key;
    TableRow heading{c.name, kSize};
    heading.wholeProcess = true;
    heading.comparedWith = c.comparedWith;
    const std::size_t row = table.expect(heading, key, floorKey);

    benchmark::RegisterBenchmark(
        key.c_str(),
        [c, dir, row, &table, inProcess](benchmark::State& state) {
          try {
            std::filesystem::current_path(dir);
            std::function<double()> alternate;
            if (c.alternateInProcess) alternate = [&] { return inProcess(c.comparedWith); };
            else if (!c.alternateArgv.empty())
              alternate = [&] {
                const auto start = std::chrono::steady_clock::now();
                runProcess(c.alternateArgv);
                return secondsSince(start);
              };
            double cpu = 0.0;
            if (!alternate) {
              for (auto _ : state) cpu += runTimed(state, c.argv);
            } else {
              const auto [timed, alternateSeconds] = runAlternated(state, c, alternate);
              cpu = timed;
              table.row(row).alternateSeconds = alternateSeconds;
            }
            const double peak = peakMegabytes(c.argv);
            table.row(row).peakMb = peak;
            table.row(row).processCpuSeconds = cpu / static_cast<double>(state.iterations());
            state.counters["peak_MB"] = peak;
          } catch (const std::exception& e) {
            state.SkipWithError(e.what());
          }
        })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);

    if (c.floorOf.empty()) continue;
    benchmark::RegisterBenchmark(floorKey.c_str(),
                                 [c, dir, row, floorFiles, &table](benchmark::State& state) {
                                   try {
                                     const std::vector<WrittenFile> files = floorFiles(c.floorOf);
                                     table.row(row).bytes = totalBytes(files);
                                     std::filesystem::current_path(dir);
                                     for (auto _ : state) writeFloor(files);
                                   } catch (const std::exception& e) {
                                     state.SkipWithError(e.what());
                                   }
                                 })
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace pelk::bench
