#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/run_record.h"
#include "store/sql_database.h"

namespace pelk {

// Where results go: "sqlite:PATH" or "postgresql://...". createFolder is set for the default
// store in the user's data folder, whose folder is made on first use; a folder named by the
// user is never made. A SQLite store's long log is copied back by each writer as it opens the
// store, unless logCopyBack hands that to the owner of the connection (see RunRecorder::close).
struct StoreLocation {
  std::string url;
  bool createFolder = false;
  LogCopyBack logCopyBack = LogCopyBack::kOnOpen;
  // A program that runs a SQLite store's resident writer (store/store_writer.h): when set, runs
  // are handed to the writer, which is started on first use. Empty: each run is written here.
  std::string writerProgram = "";
};

// The file of a "sqlite:PATH" store; empty for any other.
std::string sqliteStorePath(const std::string& url);

// A store's name as shown to users: a password in a URL is hidden.
std::string shownStoreName(const std::string& url);

// The store named by the option (--store), else by PELK40_STORE, else results.sqlite in
// $XDG_DATA_HOME/pelk40 (or ~/.local/share/pelk40). Nothing when --no-store was given.
std::optional<StoreLocation> chooseStore(const std::optional<std::string>& option, bool noStore);

// Which runs to read back: all when empty; since is compared with the start time, so a date
// (2026-03-01) or a full time both work.
struct HistoryQuery {
  std::optional<std::string> patient;
  std::optional<std::string> since;
};

// A verdict with the burdens it was reached on: for the legacy analysis the total region areas
// of its two groups, for the robust one the lesion burdens of the two follow-ups (pixels).
struct VerdictSummary {
  std::string verdict;
  double burden1 = 0.0;
  double burden2 = 0.0;
  std::optional<double> burden1Mm2;
  std::optional<double> burden2Mm2;
};

// The verdict of a comparison of whole studies (none with one follow-up) and the lesion burden
// of each follow-up in mm3.
struct StudySummary {
  std::optional<std::string> verdict;
  double burden1Mm3 = 0.0;
  std::optional<double> burden2Mm3;
  std::string folder;  // where its matched slices are
};

// One run read back with its key figures, for lists and plots.
struct RunSummary {
  std::int64_t id = 0;
  std::string startedAt;
  std::string command;
  bool completed = true;
  std::string error;
  std::string patient;
  std::string test;
  std::string hospital;
  std::string testDate;
  std::string standard;  // scan paths as given, empty when the command read none
  std::string reference;
  std::string third;
  std::optional<RankResult> rra1;
  std::optional<RankResult> rra2;
  int mchsBlocks = 0;
  int clusterRegions = 0;
  std::optional<VerdictSummary> legacy;
  std::optional<VerdictSummary> robust;
  std::optional<StudySummary> study;
};

class ResultStore {
 public:
  // Opens the store; forWriting brings its tables to this program's version (creating them).
  // Throws StoreError with a message that names the store and the cause.
  static std::unique_ptr<ResultStore> open(const StoreLocation& where, bool forWriting);

  // Stores the run whole, in one transaction, or not at all (StoreError).
  std::int64_t record(const RunRecord& run);
  // Readies this connection for recording runs, ahead of the first (the recorder does this
  // while the command runs): its own rows are no longer checked one by one against the run they
  // belong to, and the statements of the many-row tables are prepared.
  void prepareRecording();

  // The runs asked for, oldest first.
  std::vector<RunSummary> history(const HistoryQuery& query);

  // A patient's runs that reached a verdict or measured a burden (legacy, robust, a study),
  // oldest first: the lesion burden and verdict over time.
  std::vector<RunSummary> progressionTimeline(const std::string& patient);

  // Everything stored for one run, as recorded (StoreError when there is no such run).
  RunRecord run(std::int64_t id);

  // The version of the tables the store holds now.
  int schemaVersion();

  const std::string& url() const { return url_; }

 private:
  ResultStore(std::unique_ptr<SqlDatabase> db, std::string url, bool empty)
      : db_(std::move(db)), url_(std::move(url)), empty_(empty) {}

  std::unique_ptr<SqlDatabase> db_;
  std::string url_;
  bool empty_;  // opened for reading and holding no tables yet
};

}  // namespace pelk
