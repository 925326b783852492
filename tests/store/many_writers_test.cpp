// pelk40-cli as separate processes: many writers at once on one store, and the light path
// that never loads the PostgreSQL client library.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "store/result_store.h"
#include "tests/store/store_backends.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tools/sample_set.h"

extern char** environ;

namespace pelk::test {
namespace {

// Starts pelk40-cli with args, its output in files named after tag; returns its process id.
pid_t start(const std::vector<std::string>& args, const std::string& tag,
            const std::vector<std::string>& extraEnvironment = {}) {
  std::vector<std::string> all{PELK40_CLI};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envText(extraEnvironment);
  for (char** e = environ; *e; ++e) envText.emplace_back(*e);
  std::vector<char*> env;
  for (auto& e : envText) env.push_back(e.data());
  env.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  std::string out = tag + ".out", err = tag + ".err";
  posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&files);
  return rc == 0 ? pid : -1;
}

int finish(pid_t pid) {
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

class ManyWriters : public ScratchDirTest, public ::testing::WithParamInterface<Backend> {};

TEST_P(ManyWriters, EightProcessesAtOnceLoseNoRun) {
  constexpr int kWriters = 8;
  constexpr int kCommandsEach = 4;
  ScratchStore scratch(GetParam());
  writeSampleSet(".");
  std::vector<pid_t> writers;
  for (int w = 0; w < kWriters; ++w) {
    std::string folder = "w" + std::to_string(w);
    writeSampleSet(folder);
    writers.push_back(start({"--store", scratch.location().url, "--dir", folder, "--std",
                             "standard.bmp", "--ref", "reference.bmp", "--patient",
                             "writer " + std::to_string(w), "rra1", "mchs", "rra2", "mchs"},
                            folder + "/cli"));
  }
  for (int w = 0; w < kWriters; ++w) {
    std::string folder = "w" + std::to_string(w);
    EXPECT_EQ(finish(writers[static_cast<std::size_t>(w)]), 0) << readFile(folder + "/cli.err");
    EXPECT_EQ(readFile(folder + "/cli.err"), "");
  }
  auto store = ResultStore::open(scratch.location(), false);
  EXPECT_EQ(store->history({}).size(), static_cast<std::size_t>(kWriters * kCommandsEach));
  for (int w = 0; w < kWriters; ++w) {
    auto runs = store->history({"writer " + std::to_string(w), std::nullopt});
    ASSERT_EQ(runs.size(), static_cast<std::size_t>(kCommandsEach));
    EXPECT_EQ(runs[0].rra1->result, 0.202);
    EXPECT_EQ(runs[1].mchsBlocks, 17);
    EXPECT_EQ(runs[2].rra2->result, 11.952);
    EXPECT_EQ(runs[3].mchsBlocks, 17);
  }
}

INSTANTIATE_TEST_SUITE_P(Both, ManyWriters, ::testing::ValuesIn(kBackends),
                         [](const auto& info) { return backendName(info.param); });

// A command line leaves a long store log to a child process of its own, which copies it back
// after the command has ended, or to the store's writer, which copies it back once idle; every
// run stays.
TEST_F(ScratchDirTest, ACommandLineLeavesTheLongLogToAChildOrTheWriter) {
  writeSampleSet(".");
  const std::vector<std::string> run{"--store", "sqlite:r.sqlite", "--std", "standard.bmp",
                                     "--ref",   "reference.bmp",   "rra1"};
  for (const std::string writer : {"off", "on"}) {
    const std::vector<std::string> environment{"PELK40_STORE_WRITER=" + writer};
    ASSERT_EQ(finish(start(run, "first", environment)), 0) << readFile("first.err");
    openSqlite("r.sqlite", true, LogCopyBack::kByOwner)
        ->exec(
            "CREATE TABLE padding (x BLOB); INSERT INTO padding VALUES (zeroblob(2000000));"
            "DROP TABLE padding");
    ASSERT_GT(std::filesystem::file_size("r.sqlite-wal"), 2000000u);

    ASSERT_EQ(finish(start(run, "second", environment)), 0) << readFile("second.err");
    for (int waited = 0; std::filesystem::file_size("r.sqlite-wal") > 20000u && waited < 200;
         ++waited)
      ::usleep(50000);
    EXPECT_LT(std::filesystem::file_size("r.sqlite-wal"), 20000u) << writer;
  }
  EXPECT_EQ(ResultStore::open({"sqlite:r.sqlite"}, false)->history({}).size(), 4u);
}

// A client library that cannot be loaded, found first on the library path: only a run that
// needs it says so (and still completes), whether the program is linked statically or not.
TEST_F(ScratchDirTest, OnlyAPostgresStoreLoadsItsClientLibrary) {
  writeSampleSet(".");
  std::filesystem::create_directory("lib");
  writeFile("lib/libpq.so.5", "not a library");
  const std::string path = "LD_LIBRARY_PATH=" + std::filesystem::absolute("lib").string();
  struct Case {
    std::vector<std::string> args;
    bool loads;
  };
  const std::vector<Case> cases = {
      {{"--version"}, false},
      {{"--help"}, false},
      {{"--store", "sqlite:r.sqlite", "--std", "standard.bmp", "--ref", "reference.bmp", "rra1"},
       false},
      {{"history", "--store", "sqlite:r.sqlite"}, false},
      {{"--store", "postgresql://127.0.0.1:1/none", "--std", "standard.bmp", "--ref",
        "reference.bmp", "rra1"},
       true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(finish(start(c.args, "loaded", {path})), 0) << c.args[0];
    const std::string err = readFile("loaded.err");
    EXPECT_EQ(err.find("cannot load the PostgreSQL client library") != std::string::npos, c.loads)
        << c.args[0] << "\n"
        << err;
  }
}

}  // namespace
}  // namespace pelk::test
