// The resident writer of a SQLite store: its messages, and the writer as the process the
// command line starts.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "store/result_store.h"
#include "store/run_recorder.h"
#include "store/store_writer.h"
#include "store/writer_socket.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"
#include "tools/sample_set.h"

namespace pelk::test {
namespace {

WriterJob oddJob() {
  WriterJob job;
  job.storePath = "/tmp/a store/r.sqlite";
  job.run.programVersion = "1.0";
  job.run.startedAt = "2026-03-01T10:00:00.000Z";
  job.run.endedAt = "2026-03-01T10:00:01.000Z";
  job.run.workDir = "/w";
  job.run.command = "synopsis1";
  job.run.completed = false;
  job.run.error = "12:34: a colon, a\nnewline and \"quotes\"";
  job.run.patient = std::string("O'Brien; DROP TABLE runs;--\xff") + '\0' + "x";
  job.run.scans = {{"standard", "a:b.bmp", 10, "ab12", 512, 512},
                   {"reference", "", std::nullopt, std::nullopt, std::nullopt, std::nullopt}};
  job.resultsFolder = "out";
  job.freshFiles = {"out/rra1.sql", ""};
  return job;
}

TEST(WriterMessages, RoundTripAnyBytesAndRefuseEveryCutOrForeignMessage) {
  const WriterJob job = oddJob();
  const std::string bytes = encodeJob(job);
  auto back = decodeJob(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(encodeJob(*back), bytes);
  EXPECT_EQ(back->run.patient, job.run.patient);
  EXPECT_EQ(back->run.scans[1].size, std::nullopt);
  EXPECT_EQ(back->run.scans[0].sha256, "ab12");
  EXPECT_FALSE(back->run.completed);

  const WriterBegin begin{"/w", "rra1", "s.bmp", "r.bmp", ""};
  ASSERT_TRUE(decodeBegin(encodeBegin(begin)));
  EXPECT_EQ(decodeBegin(encodeBegin(begin))->reference, "r.bmp");
  const WriterReply reply{WriterReply::Kind::kRefused, 7, "locked"};
  ASSERT_TRUE(decodeReply(encodeReply(reply)));
  EXPECT_EQ(decodeReply(encodeReply(reply))->message, "locked");

  for (std::size_t n = 0; n < bytes.size(); ++n) EXPECT_FALSE(decodeJob(bytes.substr(0, n))) << n;
  for (const std::string& foreign :
       {encodeBegin(begin), encodeReply(reply), std::string("99999999999999999999:x"),
        std::string("5:pelk40-store-job 1"), bytes + "1:x", std::string(":")})
    EXPECT_FALSE(decodeJob(foreign)) << foreign;
  EXPECT_FALSE(decodeBegin(bytes));
  EXPECT_FALSE(decodeReply("20:pelk40-store-reply 11:91:01:"));  // no such kind
}

bool writerListens(const std::string& storePath) {
  return StoreWriterLink::connect(storePath).has_value();
}

// Waits up to five seconds for `condition`.
template <typename Condition>
bool within5s(Condition condition) {
  for (int i = 0; i < 100; ++i) {
    if (condition()) return true;
    ::usleep(50'000);
  }
  return condition();
}

class StoreWriter : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    writeSampleSet(".");
    path_ = std::filesystem::absolute("r.sqlite").string();
    ResultStore::open(location(), true);
  }
  StoreLocation location() const { return {"sqlite:" + path_}; }
  void startWriter() {
    ASSERT_TRUE(StoreWriterLink::startWriter(PELK40_CLI, path_));
    ASSERT_TRUE(within5s([&] { return writerListens(path_); }));
  }
  Finished cli(const std::vector<std::string>& words, bool stored = true) {
    std::vector<std::string> args{PELK40_CLI,      "--std",     "standard.bmp", "--ref",
                                  "reference.bmp", "--patient", "Doe"};
    if (stored) args.insert(args.begin() + 1, {"--store", "sqlite:" + path_});
    else args.insert(args.begin() + 1, "--no-store");
    args.insert(args.end(), words.begin(), words.end());
    return runProcess(args);
  }
  std::string path_;
};

// The writer reads the results of the files the command says it wrote, from the command's
// folder, and stores the run as the command would have.
TEST_F(StoreWriter, StoresWhatTheCommandWouldHave) {
  startWriter();
  ASSERT_EQ(cli({"synopsis1"}, false).status, 0);
  const CommandInputs inputs{"standard.bmp", "reference.bmp", "", "Doe", "t", "h", "d"};
  struct Case {
    bool completed;
    std::vector<std::string> fresh;
    std::size_t rank, mchs;
  };
  for (const Case& c :
       {Case{true, resultFilesOf("synopsis1"), 2, 17}, Case{false, {"rra1.sql"}, 1, 0}}) {
    auto link = StoreWriterLink::connect(path_);
    ASSERT_TRUE(link);
    ASSERT_TRUE(link->announce({dir().string(), "synopsis1", "standard.bmp", "reference.bmp", ""}));
    WriterJob job{path_, {}, "", c.fresh};
    job.run.command = "synopsis1";
    job.run.workDir = dir().string();
    job.run.completed = c.completed;
    job.run.error = c.completed ? "" : "stopped";
    job.run.patient = "Doe";
    auto reply = link->hand(job);
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->kind, WriterReply::Kind::kStored) << reply->message;

    RunRecord stored = ResultStore::open(location(), false)->run(reply->runId);
    EXPECT_EQ(stored.results.rank.size(), c.rank);
    EXPECT_EQ(stored.results.mchs.size(), c.mchs);
    EXPECT_EQ(stored.error, job.run.error);
    EXPECT_EQ(stored.workDir, dir().string());
    auto expected = describeScans("synopsis1", inputs);
    ASSERT_EQ(stored.scans.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(stored.scans[i].path, expected[i].path);
      EXPECT_EQ(stored.scans[i].sha256, expected[i].sha256);
      EXPECT_EQ(stored.scans[i].width, expected[i].width);
    }
  }
}

// Every command line after the first hands its runs to the writer it started; with the writer
// switched off, each writes its own. Either way every run is there and nothing is said.
TEST_F(StoreWriter, ACommandLineStartsTheWriterAndHandsItItsRuns) {
  for (const char* writer : {"on", "off"}) {
    ::setenv("PELK40_STORE_WRITER", writer, 1);
    for (int i = 0; i < 3; ++i) {
      Finished f = cli({"rra1", "mchs"});
      EXPECT_EQ(f.status, 0);
      EXPECT_EQ(f.err.find("warning"), std::string::npos) << f.err;
      if (i == 0 && std::string(writer) == "on")
        EXPECT_TRUE(within5s([&] { return writerListens(path_); }));
    }
  }
  ::unsetenv("PELK40_STORE_WRITER");
  EXPECT_EQ(ResultStore::open(location(), false)->history({}).size(), 12u);
}

// A writer whose store file was removed or replaced ends, and never writes a run into what it
// still holds open: the command writes it itself, into the store the name now gives.
TEST_F(StoreWriter, AReplacedStoreIsWrittenByTheCommandAndTheWriterEnds) {
  startWriter();
  // Moved away with its log and the log's index, as SQLite's files must be while open.
  for (const char* part : {"", "-wal", "-shm"})
    std::filesystem::rename(std::string("r.sqlite") + part, std::string("old.sqlite") + part);
  ResultStore::open(location(), true);
  Finished f = cli({"rra1"});
  EXPECT_EQ(f.status, 0);
  EXPECT_EQ(f.err.find("warning"), std::string::npos) << f.err;
  EXPECT_EQ(ResultStore::open(location(), false)->history({}).size(), 1u);
  EXPECT_EQ(ResultStore::open({"sqlite:old.sqlite"}, false)->history({}).size(), 0u);

  for (const char* part : {"", "-wal", "-shm"})
    std::filesystem::remove(std::string("r.sqlite") + part);
  EXPECT_TRUE(within5s([&] { return !writerListens(path_); }));
}

// While runs keep coming, the writer copies the log back beside them: the next write starts the
// log anew.
TEST_F(StoreWriter, TheLogIsCopiedBackBesideAnOpenWriter) {
  auto held = openSqlite(path_, false, LogCopyBack::kByResidentWriter);
  held->exec("CREATE TABLE padding (x BLOB); INSERT INTO padding VALUES (zeroblob(2000000))");
  ASSERT_GT(sqliteLogBytes(path_), 2000000u);
  copySqliteLogBackBeside(path_);
  held->exec("CREATE TABLE later (x)");
  // The frames in the log now (asking copies them too, so it is asked once).
  EXPECT_LT(sqlInt(held->query("PRAGMA wal_checkpoint(PASSIVE)")[0][1]), 20);
}

// A socket left by a writer that did not end cleanly is replaced by the next writer.
TEST_F(StoreWriter, ASocketLeftBehindIsReplaced) {
  const auto socketPath = writerSocketPath(path_);
  ASSERT_TRUE(socketPath);
  const sockaddr_un address = socketAddress(*socketPath);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
  ASSERT_FALSE(writerListens(path_));

  EXPECT_EQ(cli({"rra1"}).status, 0);
  EXPECT_TRUE(within5s([&] { return writerListens(path_); }));
  EXPECT_EQ(ResultStore::open(location(), false)->history({}).size(), 1u);
}

}  // namespace
}  // namespace pelk::test
