// The values the front end records are the ones the result files hold, on the sample scans.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <sstream>

#include "app/cli/cli_run.h"
#include "common/sha256.h"
#include "store/result_store.h"
#include "store/run_recorder.h"
#include "store/schema.h"
#include "tests/store/store_backends.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tools/sample_set.h"

namespace pelk::test {
namespace {

struct Ran {
  int code;
  std::string out;
  std::string err;
};

Ran runCliWith(std::vector<std::string> args) {
  args.insert(args.begin(), "pelk40-cli");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  int code = runCli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {code, out.str(), err.str()};
}

const std::vector<std::string> kSampleRun = {
    "--std",     "standard.bmp", "--ref",     "reference.bmp", "--third",   "third.bmp",
    "--patient", "Doe",          "synopsis1", "synopsis2",     "robust-tpa"};

std::vector<std::string> withStore(std::vector<std::string> args, const std::string& url) {
  args.insert(args.begin(), {"--store", url});
  return args;
}

// The words of the file's lines, each line as one string of single-blank-separated words.
std::vector<std::string> wordLines(const std::string& path) {
  std::vector<std::string> out;
  std::istringstream in(readFile(path));
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string joined, w;
    while (words >> w) joined += (joined.empty() ? "" : " ") + w;
    out.push_back(joined);
  }
  return out;
}

std::string f3(double v) {
  char t[32];
  std::snprintf(t, sizeof t, "%.3f", v);
  return t;
}

bool hasLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class RecordedResults : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    writeSampleSet(".");
  }
};

TEST_F(RecordedResults, EveryStoredValueIsWhatTheResultFilesHold) {
  ScratchStore scratch(Backend::kSqlite);
  Ran ran = runCliWith(withStore(kSampleRun, scratch.location().url));
  ASSERT_EQ(ran.code, 0) << ran.err;
  auto store = ResultStore::open(scratch.location(), false);
  auto runs = store->history({"Doe", std::nullopt});
  ASSERT_EQ(runs.size(), 3u);

  RunRecord synopsis1 = store->run(runs[0].id);
  const RunResults& r1 = synopsis1.results;
  ASSERT_EQ(r1.rank.size(), 2u);
  for (const RankResult& rank : r1.rank) {
    std::string script = readFile(rank.analysis == "RRA-1" ? "rra1.sql" : "rra2.sql");
    std::string tail = f3(rank.result) + "," + (rank.significant ? "TRUE" : "FALSE") + ");";
    EXPECT_NE(script.find(tail), std::string::npos) << rank.analysis;
  }
  auto mchs = wordLines("mchs-results.dat");
  ASSERT_FALSE(r1.mchs.empty());
  for (const MchsBlock& b : r1.mchs)
    EXPECT_TRUE(hasLine(mchs, std::to_string(b.idx) + " " + std::to_string(b.x) + " " +
                                  std::to_string(b.y) + " " + f3(b.value) + " " +
                                  std::to_string(b.xb) + " " + std::to_string(b.yb)));
  EXPECT_EQ(wordLines("zchs.dat")[0], std::to_string(r1.zchs.size()) + " glist idx");
  for (const ZchsZone& z : r1.zchs)
    EXPECT_EQ(wordLines("zchs.dat")[static_cast<std::size_t>(z.idx)],
              f3(z.zone) + " " + f3(z.difference));
  ASSERT_EQ(synopsis1.scans.size(), 2u);
  EXPECT_EQ(synopsis1.scans[0].size, static_cast<std::int64_t>(readFile("standard.bmp").size()));
  EXPECT_EQ(synopsis1.scans[0].width, 512);

  RunRecord synopsis2 = store->run(runs[1].id);
  for (const ClusterRegion& c : synopsis2.results.clusters) {
    auto lines = wordLines(c.group == 1 ? "cluster1.db.txt.dat" : "cluster2.db.txt.dat");
    EXPECT_EQ(lines[static_cast<std::size_t>(c.idx)],
              std::to_string(c.x1) + " " + std::to_string(c.y1) + " " + std::to_string(c.dx) + " " +
                  std::to_string(c.dy) + " " + std::to_string(c.area) + " " + f3(c.intensity) +
                  " " + std::to_string(c.xb) + " " + std::to_string(c.yb));
  }
  auto tpa = wordLines("tpa.dat");
  const LegacyProgression& p = *synopsis2.results.progression;
  EXPECT_EQ(tpa[8], f3(p.group1.tumorIndex) + " Tumor Idx");
  EXPECT_EQ(tpa[16], f3(p.group2.tumorIndex) + " Tumor Index 2");
  EXPECT_EQ(tpa[17], "Tumor Progression is " + p.verdict);

  RunRecord robust = store->run(runs[2].id);
  std::string json = readFile("progression.json");
  EXPECT_NE(json.find("\"verdict\": \"" + robust.results.robust->verdict + "\""),
            std::string::npos);
  EXPECT_NE(json.find("\"burden2\": " + std::to_string(robust.results.robust->burden2) + ","),
            std::string::npos);
}

TEST_F(RecordedResults, AStoreThatFailsNeverChangesTheRunOnlyWarnsOnce) {
  Ran plain = runCliWith(
      {"--no-store", "--std", "standard.bmp", "--ref", "reference.bmp", "rra1", "cluster"});
  ASSERT_EQ(plain.code, 0);
  ASSERT_EQ(plain.err, "");

  writeFile("not-a-store.sqlite", std::string(4096, 'x'));
  ScratchStore newer(Backend::kSqlite);
  ResultStore::open(newer.location(), true);
  newer.exec("UPDATE schema_version SET version = " + std::to_string(kSchemaVersion + 1));
  ScratchStore readOnly(Backend::kSqlite);
  ResultStore::open(readOnly.location(), true);
  std::filesystem::permissions(readOnly.location().url.substr(7),
                               std::filesystem::perms::owner_read);
  struct Case {
    std::string url;
    std::string because;
  };
  std::vector<Case> cases = {
      {"sqlite:missing-folder/results.sqlite", "missing folder"},
      {"sqlite:not-a-store.sqlite", "not a database"},
      {newer.location().url, "newer than this program"},
      {"postgresql://127.0.0.1:1/none", "127.0.0.1"},
      {"mysql://somewhere", "not a store name"},
  };
  if (getuid() != 0) cases.push_back({readOnly.location().url, "readonly"});
  for (const Case& c : cases) {
    Ran ran = runCliWith(
        {"--store", c.url, "--std", "standard.bmp", "--ref", "reference.bmp", "rra1", "cluster"});
    EXPECT_EQ(ran.code, 0) << c.url;
    EXPECT_EQ(ran.out, plain.out) << c.url;
    std::istringstream lines(ran.err);
    int warnings = 0;
    for (std::string line; std::getline(lines, line); ++warnings) {
      EXPECT_TRUE(line.starts_with("pelk40-cli: warning: run of ")) << line;
      EXPECT_NE(line.find(c.because), std::string::npos) << line;
    }
    EXPECT_EQ(warnings, 2) << c.url;  // one line for each command not stored
  }
  EXPECT_EQ(readFile("not-a-store.sqlite"), std::string(4096, 'x'));
  EXPECT_FALSE(std::filesystem::exists("missing-folder"));
}

// The scans are hashed beside the running command; one rewritten while it runs is stored as it is
// afterwards, whichever of its versions that hashing happened to read.
TEST_F(RecordedResults, AScanRewrittenDuringTheCommandIsStoredAsItIsAfterwards) {
  ScratchStore store(Backend::kSqlite);
  RunRecorder recorder(store.location(), "test");
  recorder.begin("rra1", {"standard.bmp", "reference.bmp", "", "Doe", "", "", ""});
  const std::string rewritten = readFile("reference.bmp") + "more";
  writeFile("standard.bmp", rewritten);
  ASSERT_EQ(recorder.finish(false, "stopped"), std::nullopt);
  const RunRecord run = ResultStore::open(store.location(), false)->run(*recorder.lastRunId());
  ASSERT_EQ(run.scans.size(), 2u);
  EXPECT_EQ(run.scans[0].sha256, sha256Hex(rewritten));
  EXPECT_EQ(run.scans[0].size, rewritten.size());
  EXPECT_EQ(run.scans[1].sha256, sha256Hex(readFile("reference.bmp")));
}

// Stored times are UTC whatever the local zone, to the millisecond.
TEST(RunTimes, AreUtcWithMillisecondsInAnyLocalZone) {
  auto utcHour = [](std::time_t t) {
    std::tm tm{};
    ::gmtime_r(&t, &tm);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour);
    return std::string(text);
  };
  const char* zone = std::getenv("TZ");
  const std::string saved = zone ? zone : "";
  ::setenv("TZ", "EST5EDT", 1);
  ::tzset();
  const std::string before = utcHour(std::time(nullptr));
  const std::string stamp = utcNow();
  const std::string after = utcHour(std::time(nullptr));
  zone ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
  ::tzset();
  ASSERT_EQ(stamp.size(), 24u) << stamp;
  EXPECT_TRUE(stamp.substr(0, 13) == before || stamp.substr(0, 13) == after) << stamp;
  EXPECT_TRUE(stamp[13] == ':' && stamp[16] == ':' && stamp[19] == '.' && stamp[23] == 'Z')
      << stamp;
}

}  // namespace
}  // namespace pelk::test
