#pragma once
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/file_stamp.h"
#include "store/result_store.h"
#include "store/store_writer.h"

namespace pelk {

// What a command was given: the three scan names as the fields hold them and the test
// information.
struct CommandInputs {
  std::string standard;
  std::string reference;
  std::string third;
  std::string patient;
  std::string test;
  std::string hospital;
  std::string date;
  // Where the command wrote its result files, when not the working folder (a study's --out).
  std::string resultsFolder = "";
};

// A study's inputs: `info` (the test information) with the baseline and its one or two
// follow-ups in the three scan places, and the folder the study wrote to.
CommandInputs studyInputs(CommandInputs info, const std::string& baseline,
                          const std::vector<std::string>& followUps, const std::string& folder);

// Records each command of a session in the store, reading its results back from the files it
// wrote in the working folder. The store is opened at the first run recorded, so a session that
// runs nothing never touches it. A store that cannot be opened or written never stops the work:
// finish() returns the one warning line to show instead.
class RunRecorder {
 public:
  RunRecorder(std::optional<StoreLocation> where, std::string programVersion);
  ~RunRecorder();

  // Before the command (named by its command-line word): notes the time (or takes the one it
  // started at, for a command whose inputs are known only once it has run) and the state of
  // the result files it writes. The scans are described (hashed) and the store opened beside
  // the command, on another thread, so that recording adds little more than writing the rows.
  void begin(std::string command, CommandInputs inputs,
             std::optional<std::string> startedAt = std::nullopt);
  // After it: stores the run, or says why it was not stored.
  std::optional<std::string> finish(bool completed, const std::string& error);

  // Ends the session with the store (the destructor does it too, in this process). When the
  // store was named with LogCopyBack::kByOwner and its log has grown long, the log is copied back
  // into the database: with `detached`, by a child process that this one does not wait for, so a
  // command line ends without waiting for the disk; otherwise here.
  void close(bool detached);

  // The store in use, for the status line ("no store" when off).
  std::string storeName() const;
  // The id of the last run stored.
  std::optional<std::int64_t> lastRunId() const { return lastRunId_; }

 private:
  // What begin() starts and finish() waits for.
  struct Prepared {
    std::vector<ScanRecord> scans;
    std::unique_ptr<ResultStore> opened;
    std::optional<std::string> openFailure;
    std::exception_ptr failure;  // describing the scans failed
  };

  // Waits for what begin() started and keeps the store it opened.
  Prepared takePrepared();
  // Opens the store here, once, when begin() did not; false when it cannot be opened.
  bool openHere();
  // The SQLite file whose resident writer takes the runs (absolute); empty when runs are
  // written here.
  std::string writerStorePath() const;
  // Hands the run to the store's writer: nothing once it is stored, the warning when it was
  // not, and `fallBack` set when the writer could not take it and it is to be written here.
  std::optional<std::string> handToWriter(StoreWriterLink& link, const RunRecord& run,
                                          const std::function<bool(const std::string&)>& fresh,
                                          bool& fallBack);

  std::optional<StoreLocation> where_;
  std::string programVersion_;
  std::unique_ptr<ResultStore> store_;
  std::optional<std::string> openFailure_;
  RunRecord pending_;
  CommandInputs inputs_;
  std::vector<FileState> before_;
  std::vector<FileState> scansBefore_;
  std::future<Prepared> prepared_;
  // To the store's resident writer, which describes the scans while the command runs; when
  // there is none, begin() prepares on a helper thread instead.
  std::optional<StoreWriterLink> link_;
  std::string writerStore_;  // writerStorePath() as this run began
  std::optional<std::int64_t> lastRunId_;
  bool writerStarted_ = false;   // at most once a session
  bool handedToWriter_ = false;  // a run of this session was stored by the writer
  bool closed_ = false;
};

// The results a command left in `folder` (the working folder when empty): only the files it
// wrote, judged by `fresh`, which gets each file's path.
RunResults collectResults(const std::string& command,
                          const std::function<bool(const std::string&)>& fresh,
                          const std::string& folder = "");

// The scans a command reads, as they are on disk now.
std::vector<ScanRecord> describeScans(const std::string& command, const CommandInputs& inputs);

// The names, times and sizes of a command's three scans now: whether they changed after they
// were described.
std::vector<FileState> scanStatesOf(const CommandInputs& inputs);

// The result files a command writes into `folder` that the store reads back, as paths.
std::vector<std::string> resultFilesOf(const std::string& command, const std::string& folder = "");

// The current UTC time as "YYYY-MM-DDTHH:MM:SS.mmmZ".
std::string utcNow();

}  // namespace pelk
