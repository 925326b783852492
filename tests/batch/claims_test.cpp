// Three workers share one manifest through a real PostgreSQL server; one is killed midway.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "tests/batch/batch_process.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {
namespace {

namespace fs = std::filesystem;

struct Claim {
  int attempts;
  std::string worker;
  std::string state;
};

std::map<int, Claim> claimsOf(const std::string& url, const std::string& batchId) {
  std::map<int, Claim> claims;
  PGconn* c = PQconnectdb(url.c_str());
  const char* params[] = {batchId.c_str()};
  PGresult* r = PQexecParams(c,
                             "SELECT row_no, attempts, worker, state FROM pelk_batch_claims"
                             " WHERE batch_id = $1",
                             1, nullptr, params, nullptr, nullptr, 0);
  for (int i = 0; i < PQntuples(r); ++i)
    claims[std::atoi(PQgetvalue(r, i, 0))] = {std::atoi(PQgetvalue(r, i, 1)), PQgetvalue(r, i, 2),
                                              PQgetvalue(r, i, 3)};
  PQclear(r);
  PQfinish(c);
  return claims;
}

class SharedBatch : public ScratchDirTest {};

TEST_F(SharedBatch, EveryRowCompletesOnceAndAKilledWorkersRowsAreRedone) {
  const char* url = std::getenv("PELK_TEST_PG_URL");
  ASSERT_TRUE(url && *url) << "PELK_TEST_PG_URL is not set: run under scripts/with-postgres";

  // Until the row program takes --store itself, a wrapper passes every other argument on.
  std::vector<std::pair<std::string, std::string>> env;
  writeFile("row.sh",
            "#!/bin/sh\nfor a; do shift; case \"$a\" in --store=*) ;; *) set -- \"$@\" \"$a\";; "
            "esac; done\nexec " PELK40_CLI " \"$@\"\n");
  fs::permissions("row.sh", fs::perms::owner_all);
  if (system(PELK40_CLI " --help | grep -q -- --store") != 0)
    env.push_back({"PELK40_BATCH_ROW_PROGRAM", (dir() / "row.sh").string()});

  writeBmp("s.bmp", 8, 8, [](int row, int col) { return row + col; });
  std::string manifest = "patient,test,std,ref,third\n";
  constexpr int kRows = 200;
  for (int i = 1; i <= kRows; ++i) manifest += "P" + std::to_string(i) + ",T,s.bmp,s.bmp,s.bmp\n";
  writeFile("m.csv", manifest);

  const std::vector<std::string> args = {"m.csv", "--out",   "out", "--commands", "plot", "--jobs",
                                         "2",     "--lease", "2",   "--store",    url};
  std::vector<BatchProcess> workers;
  for (int w = 0; w < 3; ++w)
    workers.push_back(BatchProcess::start(args, env, "w" + std::to_string(w)));
  auto recordsWritten = [] {
    int n = 0;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator("out", ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
      n += it->path().filename() == "batch-row.txt";
    return n;
  };
  ASSERT_TRUE(eventually(120, [&] { return recordsWritten() >= 30; }));
  ::kill(workers[0].pid, SIGKILL);
  EXPECT_EQ(workers[0].wait(), 128 + SIGKILL);
  EXPECT_EQ(workers[1].wait(180), 0) << workers[1].err();
  EXPECT_EQ(workers[2].wait(180), 0) << workers[2].err();

  const auto summary = readSummary("out");
  ASSERT_EQ(summary.size(), static_cast<std::size_t>(kRows));
  for (const auto& row : summary)
    EXPECT_EQ(column(row, "status"), "completed") << column(row, "row");

  const auto claims = claimsOf(url, readFile("out/batch-id").substr(0, 32));
  ASSERT_EQ(claims.size(), static_cast<std::size_t>(kRows));
  const std::string killed = "process " + std::to_string(workers[0].pid);
  int redone = 0;
  for (const auto& [row, claim] : claims) {
    EXPECT_EQ(claim.state, "finished") << row;
    // The worker that finished the row wrote its record: one completion a row.
    const std::string record = readFile("out/P" + std::to_string(row) + "/T/batch-row.txt");
    EXPECT_NE(record.find("worker=" + claim.worker + "\n"), std::string::npos) << row;
    const bool byKilled =
        claim.worker.size() >= killed.size() &&
        claim.worker.compare(claim.worker.size() - killed.size(), killed.size(), killed) == 0;
    if (claim.attempts > 1) {
      ++redone;
      EXPECT_FALSE(byKilled) << row;
    }
    EXPECT_LE(claim.attempts, 2) << row;
  }
  EXPECT_LE(redone, 2);  // at most the killed worker's rows in flight
}

}  // namespace
}  // namespace pelk::test
