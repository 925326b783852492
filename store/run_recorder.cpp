#include "store/run_recorder.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <system_error>

namespace pelk {
namespace {

// The copy-back waits for the disk to confirm the database's new pages, and after a command has
// just written its result files that means waiting for those too (20 to 30 ms after a "7.").
// A child process does it; nothing of this process's output waits for it. Called once the
// recorder's helper thread has ended and the store is closed, so no thread holds any of
// SQLite's state, and the C library's allocator is safe to use after fork(). True when the
// child took it over.
bool copyLogBackInChild(const std::string& path) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid > 0;
  // Whoever reads this process's output, or any pipe it was given, sees the end at its exit.
  const int null = ::open("/dev/null", O_RDWR);
  if (null >= 0) {
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
  }
  ::close_range(3, ~0U, 0);
  copySqliteLogBackIfLong(path);
  ::_exit(0);
}

// Opens the store for recording runs (StoreError when it cannot be).
std::unique_ptr<ResultStore> openForRecording(const StoreLocation& where) {
  auto opened = ResultStore::open(where, true);
  opened->prepareRecording();
  return opened;
}

}  // namespace

std::string utcNow() {
  using namespace std::chrono;
  const auto now = floor<milliseconds>(system_clock::now());
  const auto day = floor<days>(now);
  const year_month_day date{day};
  const hh_mm_ss time{now - day};
  // From the calendar arithmetic, not the C library: its gmtime and strftime read the local time
  // zone's file first, on every command of a process that stores its runs.
  char full[80];
  std::snprintf(full, sizeof full, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", int{date.year()},
                unsigned{date.month()}, unsigned{date.day()},
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()),
                static_cast<int>(time.subseconds().count()));
  return full;
}

CommandInputs studyInputs(CommandInputs info, const std::string& baseline,
                          const std::vector<std::string>& followUps, const std::string& folder) {
  info.standard = baseline;
  info.reference = followUps.empty() ? "" : followUps[0];
  info.third = followUps.size() > 1 ? followUps[1] : "";
  info.resultsFolder = folder;
  return info;
}

RunRecorder::RunRecorder(std::optional<StoreLocation> where, std::string programVersion)
    : where_(std::move(where)), programVersion_(std::move(programVersion)) {}

RunRecorder::~RunRecorder() { close(false); }

void RunRecorder::close(bool detached) {
  if (closed_) return;
  closed_ = true;
  if (prepared_.valid()) prepared_.wait();
  prepared_ = {};
  link_.reset();
  store_.reset();
  // A store with a resident writer has its log kept short by the writer.
  if (!where_ || where_->logCopyBack != LogCopyBack::kByOwner || handedToWriter_) return;
  const std::string path = sqliteStorePath(where_->url);
  if (path.empty() || !sqliteLogIsLong(path)) return;
  if (detached && copyLogBackInChild(path)) return;
  copySqliteLogBackIfLong(path);
}

std::string RunRecorder::storeName() const {
  return where_ ? shownStoreName(where_->url) : "no store";
}

void RunRecorder::begin(std::string command, CommandInputs inputs,
                        std::optional<std::string> startedAt) {
  if (!where_) return;
  pending_ = RunRecord{};
  pending_.programVersion = programVersion_;
  pending_.startedAt = startedAt ? std::move(*startedAt) : utcNow();
  pending_.command = std::move(command);
  inputs_ = std::move(inputs);
  before_.clear();
  for (std::string& name : resultFilesOf(pending_.command, inputs_.resultsFolder))
    before_.push_back({name, fileStampOf(name)});
  if (prepared_.valid()) takePrepared();  // a run begun and never finished
  link_.reset();
  writerStore_ = writerStorePath();
  if (!writerStore_.empty()) {
    std::error_code ec;
    link_ = StoreWriterLink::connect(writerStore_);
    if (link_ && link_->announce({std::filesystem::current_path(ec).string(), pending_.command,
                                  inputs_.standard, inputs_.reference, inputs_.third}))
      return;
    link_.reset();
  }
  scansBefore_ = scanStatesOf(inputs_);
  // Opened once: a store that cannot be reached is not tried again for every command.
  const bool open = !store_ && !openFailure_;
  const bool startWriter = !writerStore_.empty() && !writerStarted_;
  writerStarted_ = writerStarted_ || startWriter;
  auto prepare = [command = pending_.command, inputs = inputs_, where = *where_, open,
                  writerStore = writerStore_, startWriter] {
    Prepared p;
    try {
      p.scans = describeScans(command, inputs);
    } catch (...) {
      p.failure = std::current_exception();
    }
    if (open) {
      try {
        p.opened = openForRecording(where);
        // This run is written here; a writer takes the next ones.
        if (startWriter) StoreWriterLink::startWriter(where.writerProgram, writerStore);
      } catch (const StoreError& e) {
        p.openFailure = e.what();
      }
    }
    return p;
  };
  try {
    prepared_ = std::async(std::launch::async, prepare);
  } catch (const std::system_error&) {
    // No thread to be had (a batch row's memory limit, say): done in finish() instead.
    prepared_ = std::async(std::launch::deferred, prepare);
  }
}

std::vector<FileState> scanStatesOf(const CommandInputs& inputs) {
  return fileStatesOf({inputs.standard, inputs.reference, inputs.third});
}

RunRecorder::Prepared RunRecorder::takePrepared() {
  Prepared prepared = prepared_.get();
  if (prepared.opened) store_ = std::move(prepared.opened);
  if (prepared.openFailure) openFailure_ = prepared.openFailure;
  return prepared;
}

std::optional<std::string> RunRecorder::finish(bool completed, const std::string& error) {
  if (!where_ || (!prepared_.valid() && !link_)) return std::nullopt;  // no store, or no run
  RunRecord& run = pending_;
  run.endedAt = utcNow();
  run.completed = completed;
  run.error = completed ? std::string() : error;
  std::error_code ec;
  run.workDir = std::filesystem::current_path(ec).string();
  run.patient = inputs_.patient;
  run.test = inputs_.test;
  run.hospital = inputs_.hospital;
  run.testDate = inputs_.date;
  std::string what = "run of " + run.command + " not stored: ";
  // A completed command wrote all its files; a failed one only those it got to, which are the
  // ones whose time changed.
  auto fresh = [&](const std::string& name) {
    auto now = fileStampOf(name);
    if (!now) return false;
    if (completed) return true;
    for (const FileState& f : before_)
      if (f.name == name) return !f.stamp || f.stamp->modifiedNs != now->modifiedNs;
    return false;
  };
  try {
    if (link_) {
      StoreWriterLink link = std::move(*link_);
      link_.reset();
      bool fallBack = false;
      auto handed = handToWriter(link, run, fresh, fallBack);
      if (!fallBack) return handed;
      run.scans = describeScans(run.command, inputs_);
    } else {
      Prepared prepared = takePrepared();
      // The scans are stored as they are once the command has run. A scan the command (or
      // anyone) rewrote meanwhile may have been hashed before or after, so it is described
      // again.
      if (!prepared.failure && scanStatesOf(inputs_) == scansBefore_)
        run.scans = std::move(prepared.scans);
      else run.scans = describeScans(run.command, inputs_);
    }
    run.results = collectResults(run.command, fresh, inputs_.resultsFolder);
    if (!store_ && !openHere()) return what + *openFailure_;
    lastRunId_ = store_->record(run);
  } catch (const StoreError& e) {
    return what + e.what();
  }
  return std::nullopt;
}

std::optional<std::string> RunRecorder::handToWriter(
    StoreWriterLink& link, const RunRecord& run,
    const std::function<bool(const std::string&)>& fresh, bool& fallBack) {
  WriterJob job{writerStore_, run, inputs_.resultsFolder, {}};
  for (std::string& file : resultFilesOf(run.command, inputs_.resultsFolder))
    if (fresh(file)) job.freshFiles.push_back(std::move(file));
  const auto reply = link.hand(job);
  if (!reply)
    return "run of " + run.command +
           " may not be stored: the store's writer process ended or did not answer";
  switch (reply->kind) {
    case WriterReply::Kind::kStored:
      lastRunId_ = reply->runId;
      handedToWriter_ = true;
      return std::nullopt;
    case WriterReply::Kind::kRefused:
      return "run of " + run.command + " not stored: " + reply->message;
    case WriterReply::Kind::kUnable: break;
  }
  fallBack = true;
  return std::nullopt;
}

bool RunRecorder::openHere() {
  if (store_) return true;
  if (openFailure_) return false;
  try {
    store_ = openForRecording(*where_);
    return true;
  } catch (const StoreError& e) {
    openFailure_ = e.what();
    return false;
  }
}

std::string RunRecorder::writerStorePath() const {
  if (!where_ || where_->writerProgram.empty()) return {};
  std::string path = sqliteStorePath(where_->url);
  if (path.empty()) return path;
  if (!path.starts_with('/')) {
    // Made absolute by hand: the library's path arithmetic cost a tenth of a millisecond here.
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd)) return {};
    while (path.starts_with("./")) path.erase(0, 2);
    path = std::string(cwd) + (cwd[1] ? "/" : "") + path;
  }
  // One spelling for one store, so that its commands meet one writer; the rare name with "."
  // or ".." in it pays for the library's arithmetic.
  const bool dotted = path.find("/./") != std::string::npos ||
                      path.find("/../") != std::string::npos ||
                      path.find("//") != std::string::npos;
  return dotted ? std::filesystem::path(path).lexically_normal().string() : path;
}

}  // namespace pelk
