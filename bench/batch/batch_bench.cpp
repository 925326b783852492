// The cohort runner as a user runs it, in a scratch folder under /tmp:
//   Synopsis1/jobs:N   rows of "synopsis1" on 512 x 512 sample scans, N rows at once; rows_per_s
//   OwnCostPerRow      the same rows with a row program that does nothing, so all that is timed is
//                      the batch's own work (manifest, hashing, folders, records, fork and exec);
//                      ms_per_row
//   Memory100k         a 100,000-row manifest whose rows fail before any process starts; the
//                      batch's peak resident memory, max_rss_mb
// PELK_BATCH_BENCH_ROWS changes the 200 rows of the first two.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/sample_set.h"

namespace {

namespace fs = std::filesystem;

const fs::path& scratch() {
  static const fs::path dir = [] {
    std::string pattern = (fs::temp_directory_path() / "pelk-batch-bench-XXXXXX").string();
    fs::path made = mkdtemp(pattern.data());
    pelk::writeSampleSet((made / "scans").string());
    return made;
  }();
  return dir;
}

int benchRows() {
  const char* given = std::getenv("PELK_BATCH_BENCH_ROWS");
  return given ? std::max(1, std::atoi(given)) : 200;
}

fs::path writeManifest(const std::string& name, int rows, const std::string& std) {
  const fs::path path = scratch() / name;
  std::ofstream out(path, std::ios::binary);
  out << "patient,test,hospital,date,std,ref,third\n";
  for (int i = 0; i < rows; ++i)
    out << "P" << i << ",T1,General,2026-12-08," << std << ",scans/reference.bmp,scans/third.bmp\n";
  return path;
}

struct Ended {
  double seconds;
  long maxRssKb;
};

// Runs pelk40-batch to its end in a fresh output folder.
Ended runBatch(std::vector<std::string> args, const char* rowProgram = nullptr) {
  const fs::path out = scratch() / "out";
  fs::remove_all(out);
  args.insert(args.begin(), PELK40_BATCH);
  args.insert(args.end(), {"--out", out.string()});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (rowProgram) setenv("PELK40_BATCH_ROW_PROGRAM", rowProgram, 1);
    std::freopen("/dev/null", "w", stdout);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {seconds, usage.ru_maxrss};
}

void Synopsis1(benchmark::State& state) {
  const int rows = benchRows();
  const fs::path manifest = writeManifest("synopsis1.csv", rows, "scans/standard.bmp");
  for (auto _ : state) {
    const Ended e = runBatch(
        {manifest.string(), "--commands", "synopsis1", "--jobs", std::to_string(state.range(0))});
    state.SetIterationTime(e.seconds);
    state.counters["rows_per_s"] = rows / e.seconds;
  }
}
BENCHMARK(Synopsis1)->ArgName("jobs")->Arg(1)->Arg(2)->UseManualTime()->Iterations(1)->Unit(
    benchmark::kSecond);

void OwnCostPerRow(benchmark::State& state) {
  const int rows = benchRows();
  const fs::path manifest = writeManifest("own-cost.csv", rows, "scans/standard.bmp");
  for (auto _ : state) {
    const Ended e =
        runBatch({manifest.string(), "--commands", "synopsis1", "--jobs", "1"}, "/bin/true");
    state.SetIterationTime(e.seconds);
    state.counters["ms_per_row"] = 1000 * e.seconds / rows;
  }
}
BENCHMARK(OwnCostPerRow)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void Memory100k(benchmark::State& state) {
  const fs::path manifest = writeManifest("memory.csv", 100000, "scans/missing.bmp");
  for (auto _ : state) {
    const Ended e = runBatch({manifest.string(), "--jobs", "2"});
    state.SetIterationTime(e.seconds);
    state.counters["max_rss_mb"] = e.maxRssKb / 1024.0;
  }
}
BENCHMARK(Memory100k)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
