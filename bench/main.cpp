// The benchmark program: every case on generated 512 x 512 and 1001 x 1001 scans, each timed with
// its file writes and next to its I/O floor, each run's output checked against the golden
// fingerprints. Own options (before Google Benchmark's):
//   --bench-dir=DIR    where the scans and outputs go (default: a fresh folder under /tmp)
//   --update-golden    record the fingerprints of this run as the golden ones
//   --golden-only      run every case once, untimed, and only check the fingerprints
// Exit status 1 when any output differs from its golden fingerprint.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bench_case.h"
#include "bench/golden_outputs.h"
#include "bench/io_floor.h"
#include "bench/process_cases.h"
#include "bench/results_table.h"
#include "bench/scan_set.h"
#include "bench/write_recorder.h"
#include "common/large_page_heap.h"

namespace pelk::bench {
namespace {

constexpr int kSizes[] = {512, 1001};

struct Workspace {
  std::filesystem::path dir;
  ScanSet scans;
};

std::map<int, Workspace> workspaces;

void enter(const Workspace& w) { std::filesystem::current_path(w.dir); }

std::vector<WrittenFile> captureRun(const BenchCase& c, const ScanSet& scans, Lines& lines) {
  if (c.beforeEach) c.beforeEach(scans);
  WriteRecording recording;
  c.run(scans, &lines);
  return recording.take();
}

struct Context {
  GoldenOutputs* golden;
  ResultsTable* table;
};

// One untimed run of a case: what it writes, for the golden check, the byte count and the
// floor's replay.
struct Recorded {
  std::vector<WrittenFile> files;
  std::size_t bytes = 0;
  bool matchesGolden = true;
};

Recorded recordOnce(const BenchCase& c, int size, const std::string& key, GoldenOutputs& golden) {
  const Workspace& w = workspaces.at(size);
  enter(w);
  c.prepare(w.scans);
  Lines lines;
  Recorded r;
  r.files = captureRun(c, w.scans, lines);
  r.bytes = totalBytes(r.files);
  r.matchesGolden = golden.check(key, outputDigest(r.files, lines), r.bytes);
  return r;
}

std::string caseKey(const BenchCase& c, int size) { return c.name + "/" + std::to_string(size); }

void registerCase(const BenchCase& c, int size, Context ctx) {
  const std::string key = caseKey(c, size);
  const std::string floorKey = "floor: " + key;
  const std::size_t row = ctx.table->expect(TableRow{c.name, size}, key, floorKey);

  auto prepared = [c, size, key, row, ctx](benchmark::State& state) -> std::vector<WrittenFile> {
    Recorded recorded = recordOnce(c, size, key, *ctx.golden);
    TableRow& r = ctx.table->row(row);
    r.bytes = recorded.bytes;
    if (!recorded.matchesGolden) r.outputChanged = true;
    state.counters["bytes"] = static_cast<double>(recorded.bytes);
    return std::move(recorded.files);
  };

  benchmark::RegisterBenchmark(key.c_str(),
                               [c, size, prepared](benchmark::State& state) {
                                 try {
                                   prepared(state);
                                   const ScanSet& scans = workspaces.at(size).scans;
                                   for (auto _ : state) {
                                     if (c.beforeEach) {
                                       state.PauseTiming();
                                       c.beforeEach(scans);
                                       state.ResumeTiming();
                                     }
                                     c.run(scans, nullptr);
                                   }
                                 } catch (const std::exception& e) {
                                   state.SkipWithError(e.what());
                                 }
                               })
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);

  benchmark::RegisterBenchmark(floorKey.c_str(),
                               [prepared](benchmark::State& state) {
                                 try {
                                   const std::vector<WrittenFile> files = prepared(state);
                                   for (auto _ : state) writeFloor(files);
                                 } catch (const std::exception& e) {
                                   state.SkipWithError(e.what());
                                 }
                               })
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
}

bool takeFlag(int& argc, char** argv, const char* flag, std::string* value) {
  const std::size_t n = std::strlen(flag);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], flag, n) != 0) continue;
    if (value) {
      if (argv[i][n] != '=') continue;
      *value = argv[i] + n + 1;
    } else if (argv[i][n] != '\0') {
      continue;
    }
    for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
    --argc;
    return true;
  }
  return false;
}

// Every case once at every size, untimed: the golden check alone, for the test suite.
int checkGoldenOnce(GoldenOutputs& golden) {
  int checked = 0;
  int failed = 0;
  for (const BenchCase& c : allCases())
    for (int size : kSizes) {
      ++checked;
      try {
        if (!recordOnce(c, size, caseKey(c, size), golden).matchesGolden) ++failed;
      } catch (const std::exception& e) {
        // A case with a recorded output has to produce it; one without has nothing to compare.
        const bool recorded = golden.knows(caseKey(c, size));
        std::fprintf(stderr, "%s: %s: %s\n", recorded ? "FAILED" : "no output to check",
                     caseKey(c, size).c_str(), e.what());
        if (recorded) ++failed;
      }
    }
  std::printf("golden check: %d outputs, %d changed or failed\n", checked, failed);
  return failed == 0 ? 0 : 1;
}

int run(int argc, char** argv) {
  // The in-process rows time the commands as the window runs them, one after another in one
  // long-lived program, and with its allocator settings.
  keepFreedMemory();
  const bool updateGolden = takeFlag(argc, argv, "--update-golden", nullptr);
  const bool goldenOnly = takeFlag(argc, argv, "--golden-only", nullptr);
  std::string dir;
  const bool ownDir = !takeFlag(argc, argv, "--bench-dir", &dir);
  if (ownDir) {
    char pattern[] = "/tmp/pelk40-bench-XXXXXX";
    if (!::mkdtemp(pattern)) {
      std::perror("mkdtemp");
      return 2;
    }
    dir = pattern;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;

  for (int size : kSizes) {
    Workspace& w = workspaces[size];
    w.dir = std::filesystem::absolute(std::filesystem::path(dir) / std::to_string(size));
    std::filesystem::create_directories(w.dir);
    enter(w);
    w.scans = writeScanSet(size);
  }

  addModuleCases();
  addSqlCases();
  addCommandCases();
  addStoreCases();
  GoldenOutputs golden(PELK_BENCH_GOLDEN);
  if (goldenOnly) {
    const int status = checkGoldenOnce(golden);
    std::error_code ec;
    std::filesystem::current_path("/", ec);
    if (ownDir) std::filesystem::remove_all(dir, ec);
    return status;
  }
  ResultsTable table;
  for (const BenchCase& c : allCases())
    for (int size : kSizes) registerCase(c, size, Context{&golden, &table});
  auto caseNamed = [](const std::string& name) -> const BenchCase& {
    for (const BenchCase& c : allCases())
      if (c.name == name) return c;
    throw std::runtime_error("no case " + name);
  };
  registerProcessCases(
      table, workspaces.at(512).dir,
      [&golden, caseNamed](const std::string& name) {
        const BenchCase& c = caseNamed(name);
        return recordOnce(c, 512, caseKey(c, 512), golden).files;
      },
      [caseNamed](const std::string& name) {
        const BenchCase& c = caseNamed(name);
        const Workspace& w = workspaces.at(512);
        enter(w);
        if (c.beforeEach) c.beforeEach(w.scans);
        const auto start = std::chrono::steady_clock::now();
        c.run(w.scans, nullptr);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      });

  std::printf("scratch directory: %s\n", dir.c_str());
  benchmark::RunSpecifiedBenchmarks(&table);
  benchmark::Shutdown();
  if (updateGolden) golden.save();
  return golden.anyMismatch() ? 1 : 0;
}

}  // namespace
}  // namespace pelk::bench

int main(int argc, char** argv) { return pelk::bench::run(argc, argv); }
