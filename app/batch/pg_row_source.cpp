#include "app/batch/pg_row_source.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "app/batch/atomic_file.h"
#include "app/batch/hash_fields.h"
#include "common/replace_file.h"

namespace pelk {
namespace {

// Serialises the setup of every run in the database, across batches; it lasts one short
// transaction.
constexpr const char* kSetupLock = "SELECT pg_advisory_xact_lock(404020)";

constexpr const char* kRunsTable =
    "CREATE TABLE IF NOT EXISTS pelk_batch_runs ("
    " batch_id text PRIMARY KEY, run_id text NOT NULL,"
    " started timestamptz NOT NULL DEFAULT now())";
constexpr const char* kClaimsTable =
    "CREATE TABLE IF NOT EXISTS pelk_batch_claims ("
    " batch_id text NOT NULL, row_no integer NOT NULL, spec bytea NOT NULL,"
    " state text NOT NULL DEFAULT 'pending', worker text, lease_until timestamptz,"
    " attempts integer NOT NULL DEFAULT 0, PRIMARY KEY (batch_id, row_no))";

class Result {
 public:
  explicit Result(PGresult* r) : r_(r) {}
  ~Result() { PQclear(r_); }
  Result(const Result&) = delete;
  Result& operator=(const Result&) = delete;
  PGresult* get() const { return r_; }

 private:
  PGresult* r_;
};

// The output folder's identity, shared by every worker that sees the folder, whatever path it
// is mounted at: made once by the first worker and published with link(), which fails for the
// second.
std::string batchIdOf(const std::filesystem::path& outDir) {
  const auto path = outDir / "batch-id";
  std::string id;
  if (readSmallFile(path, id) && id.size() >= 16) return id.substr(0, id.find('\n'));
  const std::string mine = sha256Hex(newRunId() + workerName() + outDir.string()).substr(0, 32);
  const auto temporary = outDir / ("batch-id.tmp-" + std::to_string(::getpid()));
  replaceFileWhole(temporary.string(), mine + "\n");
  const bool made = ::link(temporary.c_str(), path.c_str()) == 0;
  std::filesystem::remove(temporary);
  if (made) return mine;
  if (readSmallFile(path, id) && id.size() >= 16) return id.substr(0, id.find('\n'));
  throw std::runtime_error("cannot make " + path.string());
}

class PgRowSource : public RowSource {
 public:
  PgRowSource(const std::string& url, const std::string& manifest, const std::string& outDir,
              int leaseSeconds, long& rowsRejected)
      : lease_(std::to_string(leaseSeconds)), worker_(workerName()) {
    connection_ = PQconnectdb(url.c_str());
    if (PQstatus(connection_) != CONNECTION_OK) {
      std::string message = PQerrorMessage(connection_);
      PQfinish(connection_);
      throw std::runtime_error("cannot connect to the store: " + message);
    }
    batchId_ = batchIdOf(outDir);
    setUp(manifest, rowsRejected);
  }
  ~PgRowSource() override { PQfinish(connection_); }

  const std::string& runId() const override { return runId_; }

  bool take(ManifestRow& row) override {
    Result r(query(
        "UPDATE pelk_batch_claims SET state = 'running', worker = $2, attempts = attempts + 1,"
        " lease_until = now() + make_interval(secs => $3::integer)"
        " WHERE (batch_id, row_no) = (SELECT batch_id, row_no FROM pelk_batch_claims"
        "  WHERE batch_id = $1 AND (state = 'pending' OR (state = 'running' AND lease_until < "
        "now()))"
        "  ORDER BY row_no LIMIT 1 FOR UPDATE SKIP LOCKED)"
        " RETURNING spec",
        {batchId_, worker_, lease_}, PGRES_TUPLES_OK, 1));
    if (PQntuples(r.get()) == 0) return false;
    row = ManifestRow::deserialize(std::string(
        PQgetvalue(r.get(), 0, 0), static_cast<std::size_t>(PQgetlength(r.get(), 0, 0))));
    return true;
  }

  bool allDone() override {
    Result r(
        query("SELECT count(*) FROM pelk_batch_claims WHERE batch_id = $1 AND state <> 'finished'",
              {batchId_}, PGRES_TUPLES_OK));
    return std::string(PQgetvalue(r.get(), 0, 0)) == "0";
  }

  std::chrono::milliseconds retryInterval() const override {
    return std::chrono::milliseconds(std::max(250, std::stoi(lease_) * 1000 / 4));
  }

  void finished(const ManifestRow& row) override {
    Result r(
        query("UPDATE pelk_batch_claims SET state = 'finished', lease_until = NULL"
              " WHERE batch_id = $1 AND row_no = $2 AND worker = $3",
              {batchId_, std::to_string(row.number), worker_}, PGRES_COMMAND_OK));
  }

  void giveBack(const ManifestRow& row) override {
    Result r(
        query("UPDATE pelk_batch_claims SET state = 'pending', worker = NULL, lease_until = NULL"
              " WHERE batch_id = $1 AND row_no = $2 AND worker = $3",
              {batchId_, std::to_string(row.number), worker_}, PGRES_COMMAND_OK));
  }

  void keepAlive() override {
    const auto now = std::chrono::steady_clock::now();
    if (now < nextRenewal_) return;
    // A third of the lease: two renewals may be missed before another worker takes the row.
    nextRenewal_ = now + std::chrono::milliseconds(std::stoi(lease_) * 1000 / 3);
    Result r(
        query("UPDATE pelk_batch_claims"
              " SET lease_until = now() + make_interval(secs => $3::integer)"
              " WHERE batch_id = $1 AND worker = $2 AND state = 'running'",
              {batchId_, worker_, lease_}, PGRES_COMMAND_OK));
  }

  bool writesSummary() const override { return true; }

 private:
  PGresult* query(const char* sql, const std::vector<std::string>& params, ExecStatusType wanted,
                  int resultFormat = 0) {
    std::vector<const char*> values;
    for (const std::string& p : params) values.push_back(p.c_str());
    PGresult* r = PQexecParams(connection_, sql, static_cast<int>(values.size()), nullptr,
                               values.data(), nullptr, nullptr, resultFormat);
    if (PQresultStatus(r) != wanted) {
      std::string message = PQresultErrorMessage(r);
      PQclear(r);
      throw std::runtime_error("the claims table in the store: " + message);
    }
    return r;
  }

  void exec(const char* sql) { Result r(query(sql, {}, PGRES_COMMAND_OK)); }

  // In one transaction under the setup lock: join the open run of this output folder, or
  // start a new one and load every row of the manifest that can run.
  void setUp(const std::string& manifest, long& rowsRejected) {
    exec("BEGIN");
    { Result lock(query(kSetupLock, {}, PGRES_TUPLES_OK)); }
    exec(kRunsTable);
    exec(kClaimsTable);
    Result run(query("SELECT run_id FROM pelk_batch_runs WHERE batch_id = $1", {batchId_},
                     PGRES_TUPLES_OK));
    if (PQntuples(run.get()) == 1 && !allDone()) {
      runId_ = PQgetvalue(run.get(), 0, 0);
      exec("COMMIT");
      return;
    }
    runId_ = newRunId();
    Result saved(
        query("INSERT INTO pelk_batch_runs (batch_id, run_id) VALUES ($1, $2)"
              " ON CONFLICT (batch_id) DO UPDATE SET run_id = $2, started = now()",
              {batchId_, runId_}, PGRES_COMMAND_OK));
    Result cleared(
        query("DELETE FROM pelk_batch_claims WHERE batch_id = $1", {batchId_}, PGRES_COMMAND_OK));
    loadRows(manifest, rowsRejected);
    exec("COMMIT");
  }

  void loadRows(const std::string& manifest, long& rowsRejected) {
    Result copy(
        query("COPY pelk_batch_claims (batch_id, row_no, spec) FROM STDIN", {}, PGRES_COPY_IN));
    ManifestReader reader(manifest);
    ManifestRow row;
    std::string chunk;
    auto flush = [&] {
      if (PQputCopyData(connection_, chunk.data(), static_cast<int>(chunk.size())) != 1)
        throw std::runtime_error(std::string("the claims table in the store: ") +
                                 PQerrorMessage(connection_));
      chunk.clear();
    };
    static const char kHex[] = "0123456789abcdef";
    while (reader.next(row)) {
      // Rows that cannot run are failed by the worker that reads them here; the summary
      // finds the same reason again in the manifest.
      if (!row.error.empty()) {
        ++rowsRejected;
        continue;
      }
      chunk += batchId_ + "\t" + std::to_string(row.number) + "\t\\\\x";
      for (unsigned char c : row.serialize()) {
        chunk += kHex[c >> 4];
        chunk += kHex[c & 15];
      }
      chunk += '\n';
      if (chunk.size() > (1 << 16)) flush();
    }
    flush();
    if (PQputCopyEnd(connection_, nullptr) != 1)
      throw std::runtime_error(std::string("the claims table in the store: ") +
                               PQerrorMessage(connection_));
    Result done(PQgetResult(connection_));
    if (PQresultStatus(done.get()) != PGRES_COMMAND_OK)
      throw std::runtime_error(std::string("the claims table in the store: ") +
                               PQresultErrorMessage(done.get()));
    while (PGresult* extra = PQgetResult(connection_)) PQclear(extra);
  }

  PGconn* connection_ = nullptr;
  std::string lease_;
  std::string worker_;
  std::string batchId_;
  std::string runId_;
  std::chrono::steady_clock::time_point nextRenewal_{};
};

}  // namespace

bool isPostgresUrl(const std::string& url) {
  return url.rfind("postgresql://", 0) == 0 || url.rfind("postgres://", 0) == 0;
}

std::unique_ptr<RowSource> postgresRowSource(const std::string& url, const std::string& manifest,
                                             const std::string& outDir, int leaseSeconds,
                                             long& rowsRejected) {
  return std::make_unique<PgRowSource>(url, manifest, outDir, leaseSeconds, rowsRejected);
}

}  // namespace pelk
