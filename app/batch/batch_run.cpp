#include "app/batch/batch_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <list>
#include <stdexcept>

#include "app/batch/atomic_file.h"
#include "app/batch/input_hash.h"
#include "app/batch/key_results.h"
#include "app/batch/pg_row_source.h"
#include "app/batch/progress.h"
#include "app/batch/row_command.h"
#include "app/batch/row_record.h"
#include "app/batch/signal_watch.h"
#include "app/batch/summary.h"

namespace pelk {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Rows the manifest holds, counted once for the progress bar; a plain pass over the records.
long countRows(const std::string& manifest) {
  std::FILE* file = std::fopen(manifest.c_str(), "rb");
  if (!file) return 0;
  CsvReader reader(file);
  CsvRecord record;
  long count = -1;  // the header is not a row
  while (reader.next(record)) ++count;
  std::fclose(file);
  return std::max(0L, count);
}

// The line of the row's standard error that names what went wrong: its last command error
// ("error: WORD: MESSAGE"; the missing start-up image is routine), else its first line.
std::string errorLine(const fs::path& file) {
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (!in) return {};
  std::string text(1 << 16, '\0');
  text.resize(std::fread(text.data(), 1, text.size(), in));
  std::fclose(in);
  std::string first, lastError;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (first.empty()) first = line;
    if (line.rfind("error: ", 0) == 0 && line.rfind("error: start-up: ", 0) != 0) lastError = line;
    start = end + 1;
  }
  std::string line = lastError.empty() ? first : lastError;
  if (line.size() > 300) line = line.substr(0, 300) + "...";
  return line;
}

// Why a row is run again, for the closing counts.
enum class Reason { New, FailedBefore, InputsChanged };

struct InFlight {
  ManifestRow row;
  fs::path dir;
  std::string hash;
  int step = 0;
  pid_t pid = -1;
  Clock::time_point started;
  Clock::time_point deadline;
  bool timedOut = false;
  bool stopped = false;
};

struct Tally {
  long completed = 0, failed = 0, skipped = 0;
  long ranNew = 0, ranFailedBefore = 0, ranChanged = 0;
};

class BatchRun {
 public:
  BatchRun(const BatchOptions& options, RowSource& source, std::FILE* out, long totalRows)
      : o_(options),
        source_(source),
        progress_(out, ::isatty(::fileno(out)) != 0, totalRows),
        words_(rowCommands(options)),
        worker_(workerName()) {
    for (const std::string& w : words_) hashKey_ += w + " ";
  }

  // Returns false when the run was stopped by a signal.
  bool run(SignalWatch& signals) {
    for (;;) {
      source_.keepAlive();
      if (signals.stopRequested()) stopAll();
      while (!stopping_ && static_cast<int>(running_.size()) < o_.jobs) {
        ManifestRow row;
        if (!source_.take(row)) break;
        startRow(std::move(row));
      }
      progress_.setRunning(static_cast<int>(running_.size()));
      progress_.tick();
      if (running_.empty()) {
        if (stopping_ || source_.allDone()) break;
        signals.wait(static_cast<int>(source_.retryInterval().count()));
        continue;
      }
      signals.wait(msUntilNextEvent());
      reapChildren();
      enforceDeadlines();
    }
    return !stopping_;
  }

  void failRejected(long count) { tally_.failed += count; }
  const Tally& tally() const { return tally_; }
  Progress& progress() { return progress_; }

 private:
  void startRow(ManifestRow row) {
    if (!row.error.empty()) {
      // The reason comes again from the manifest when the summary is written.
      ++tally_.failed;
      progress_.rowEnded("row " + std::to_string(row.number) + ": failed: " + row.error, true);
      source_.finished(row);
      return;
    }
    InFlight job;
    job.dir = fs::path(o_.outDir) / row.folder;
    job.started = Clock::now();
    job.row = std::move(row);
    std::error_code ec;
    fs::create_directories(job.dir, ec);
    if (ec) {
      endRow(job, "cannot create the row's folder " + job.dir.string() + ": " + ec.message());
      return;
    }
    std::string error;
    job.hash = hashRowInputs(job.row, hashKey_, error);
    const std::optional<RowRecord> before = readRowRecord(job.dir);
    if (job.hash.empty()) {
      endRow(job, error);
      return;
    }
    if (before && before->status == "completed" && before->hash == job.hash) {
      RowRecord record = *before;
      record.run = source_.runId();
      record.skipped = true;
      saveRecord(job, record);
      ++tally_.skipped;
      ++tally_.completed;
      progress_.rowEnded(rowLabel(job) + ": skipped, completed before with the same inputs", false);
      source_.finished(job.row);
      return;
    }
    const Reason reason = !before                      ? Reason::New
                          : before->status == "failed" ? Reason::FailedBefore
                                                       : Reason::InputsChanged;
    ++(reason == Reason::New            ? tally_.ranNew
       : reason == Reason::FailedBefore ? tally_.ranFailedBefore
                                        : tally_.ranChanged);
    // Nothing of an earlier run may pass for this run's result.
    removeRowRecord(job.dir);
    for (const std::string& name : keyResultFiles()) fs::remove(job.dir / name, ec);
    job.deadline = job.started + std::chrono::seconds(o_.timeoutSeconds);
    running_.push_back(std::move(job));
    startStep(running_.back());
  }

  void startStep(InFlight& job) {
    std::string error;
    job.pid = startChild(rowStep(o_, job.row, job.dir, job.step), error);
    if (job.pid < 0) {
      InFlight ended = std::move(job);
      running_.remove_if([](const InFlight& j) { return j.pid < 0; });
      endRow(ended, error);
    }
  }

  int msUntilNextEvent() const {
    auto next = Clock::now() + std::chrono::milliseconds(250);  // progress and lease renewals
    for (const InFlight& job : running_) next = std::min(next, job.deadline);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(ms, 0, 250));
  }

  void reapChildren() {
    for (auto it = running_.begin(); it != running_.end();) {
      int status = 0;
      const pid_t r = ::waitpid(it->pid, &status, WNOHANG);
      if (r != it->pid) {
        ++it;
        continue;
      }
      // Whatever the row's program left running in its group goes with it.
      killChildGroup(it->pid, SIGKILL);
      std::string error;
      const std::string end = describeEnd(status);
      const std::string step = rowStepName(it->row, it->step);
      const fs::path errFile = rowStep(o_, it->row, it->dir, it->step).stderrFile;
      if (it->stopped) {
        error = "stopped by a signal to the batch before it ended";
      } else if (it->timedOut) {
        error = step + ": timed out after " + std::to_string(o_.timeoutSeconds) + " s";
      } else if (!end.empty()) {
        error = step + ": " + end;
        const std::string said = errorLine(errFile);
        if (said.find("bad_alloc") != std::string::npos)
          error += ": ran out of memory (limit " + std::to_string(o_.memoryLimitMb) + " MB)";
        else if (!said.empty()) error += ": " + said;
      }
      if (error.empty() && it->step + 1 < rowStepCount(it->row)) {
        ++it->step;
        startStep(*it);
        it = running_.begin();  // startStep may have removed the row
        continue;
      }
      InFlight ended = std::move(*it);
      it = running_.erase(it);
      endRow(ended, error);
    }
  }

  void enforceDeadlines() {
    const auto now = Clock::now();
    for (InFlight& job : running_) {
      if (!job.timedOut && !job.stopped && now >= job.deadline) {
        job.timedOut = true;
        killChildGroup(job.pid, SIGKILL);
      }
    }
  }

  // Ends the rows in flight: a polite SIGTERM, then SIGKILL for what is still there a few
  // seconds later. Their records say they were stopped, and other workers may take them again.
  void stopAll() {
    if (stopping_) return;
    stopping_ = true;
    for (InFlight& job : running_) {
      job.stopped = true;
      killChildGroup(job.pid, SIGTERM);
    }
    const auto stopDeadline = Clock::now() + std::chrono::seconds(3);
    for (;;) {
      reapChildren();
      if (running_.empty()) break;
      if (Clock::now() >= stopDeadline)
        for (InFlight& job : running_) killChildGroup(job.pid, SIGKILL);
      ::usleep(20000);
    }
  }

  void saveRecord(const InFlight& job, const RowRecord& record) {
    try {
      writeRowRecord(job.dir, record);
    } catch (const std::exception& e) {
      progress_.rowEnded(rowLabel(job) + ": " + e.what(), true);
    }
  }

  void endRow(InFlight& job, const std::string& error) {
    RowRecord record;
    record.status = error.empty() ? "completed" : "failed";
    record.seconds = std::chrono::duration<double>(Clock::now() - job.started).count();
    record.error = error;
    record.hash = job.hash;
    record.worker = worker_;
    record.run = source_.runId();
    std::error_code ec;
    if (fs::is_directory(job.dir, ec)) saveRecord(job, record);
    ++(error.empty() ? tally_.completed : tally_.failed);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f s", record.seconds);
    progress_.rowEnded(rowLabel(job) + (error.empty() ? ": completed in " + std::string(seconds)
                                                      : ": failed: " + error),
                       !error.empty());
    if (job.stopped) source_.giveBack(job.row);
    else source_.finished(job.row);
  }

  static std::string rowLabel(const InFlight& job) {
    return "row " + std::to_string(job.row.number) + " (" + job.row.folder + ")";
  }

  const BatchOptions& o_;
  RowSource& source_;
  Progress progress_;
  std::vector<std::string> words_;
  std::string hashKey_;
  std::string worker_;
  std::list<InFlight> running_;
  Tally tally_;
  bool stopping_ = false;
};

std::string closingLine(const Tally& t, const SummaryCounts* summary, const std::string& outDir) {
  std::string line = "This worker: " + std::to_string(t.completed) + " completed, " +
                     std::to_string(t.failed) + " failed; skipped " + std::to_string(t.skipped) +
                     " that had completed with the same inputs; ran " + std::to_string(t.ranNew) +
                     " new, " + std::to_string(t.ranFailedBefore) + " that had failed before, " +
                     std::to_string(t.ranChanged) + " whose inputs had changed.";
  if (summary) {
    line += "\nBatch: " + std::to_string(summary->rows) + " rows, " +
            std::to_string(summary->completed) + " completed, " + std::to_string(summary->failed) +
            " failed, " + std::to_string(summary->notRun) +
            " not run. Summary: " + (fs::path(outDir) / "batch-summary.csv").string();
  }
  return line;
}

}  // namespace

int runBatch(const BatchOptions& options, std::FILE* out, std::FILE* err) {
  std::unique_ptr<RowSource> source;
  long rejected = 0;
  try {
    fs::create_directories(options.outDir);
    if (isPostgresUrl(options.store))
      source = postgresRowSource(options.store, options.manifest, options.outDir,
                                 options.leaseSeconds, rejected);
    else source = localRowSource(options.manifest, options.outDir);
  } catch (const std::exception& e) {
    std::fprintf(err, "pelk40-cli batch: %s\n", e.what());
    return kBatchUsage;
  }
  try {
    SignalWatch signals;
    BatchRun batch(options, *source, out, countRows(options.manifest));
    batch.failRejected(rejected);
    const bool whole = batch.run(signals);
    if (!whole) {
      batch.progress().finish("Stopped: rows in flight were ended and marked failed.\n" +
                              closingLine(batch.tally(), nullptr, options.outDir));
    }
    // With a shared store every worker waits for the last row, so each can write the summary;
    // a stopped worker writes it only when alone.
    if (!whole && isPostgresUrl(options.store)) return kBatchInterrupted;
    const SummaryCounts counts = writeSummary(options.manifest, options.outDir, source->runId());
    if (!whole) return kBatchInterrupted;
    batch.progress().finish(closingLine(batch.tally(), &counts, options.outDir));
    return counts.failed == 0 && counts.notRun == 0 ? kBatchCompleted : kBatchRowsFailed;
  } catch (const std::exception& e) {
    std::fprintf(err, "pelk40-cli batch: %s\n", e.what());
    return kBatchRowsFailed;
  }
}

}  // namespace pelk
