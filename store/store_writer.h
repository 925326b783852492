#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/run_record.h"

namespace pelk {

// A SQLite store's resident writer: a process that keeps the store open between commands and
// records the runs that command lines hand it. A command that opens the store itself pays for
// the open, for reading back the whole log (every command is the first connection, so SQLite
// rebuilds the log's index each time) and for preparing its statements; handing the run over
// costs a local socket round trip. The store stays a plain SQLite file that any process may open
// beside the writer; without a writer, commands write it themselves as before.

// What a command tells the writer as it starts, so that the writer describes (hashes) its scans
// while it runs. Scan names are as the command was given them, relative to workDir.
struct WriterBegin {
  std::string workDir;
  std::string command;
  std::string standard;
  std::string reference;
  std::string third;
};

// A run handed to the writer after the command: the run without its results, and the result
// files it reads them from (those the command wrote). Without scans when they were announced in
// a WriterBegin on the same connection.
struct WriterJob {
  std::string storePath;      // absolute
  RunRecord run;              // results empty
  std::string resultsFolder;  // as the command named it, relative to run.workDir
  std::vector<std::string> freshFiles;
};

// The writer's answer.
struct WriterReply {
  enum class Kind {
    kStored,   // runId holds the new run
    kRefused,  // the store refused the run (message): the command would fare no better
    kUnable,   // the writer could not take the run (message); nothing was written
  };
  Kind kind = Kind::kUnable;
  std::int64_t runId = 0;
  std::string message;
};

std::string encodeBegin(const WriterBegin& begin);
std::string encodeJob(const WriterJob& job);
// Nothing when the bytes are not a whole message of that kind.
std::optional<WriterBegin> decodeBegin(std::string_view bytes);
std::optional<WriterJob> decodeJob(std::string_view bytes);
std::string encodeReply(const WriterReply& reply);
std::optional<WriterReply> decodeReply(std::string_view bytes);

// Where the writer of the store at `storePath` (absolute) listens: a socket in the user's own
// folder ($XDG_RUNTIME_DIR/pelk40, else /tmp/pelk40-UID; made with no access for others, and
// refused when it is a link or belongs to someone else). Nothing when there is no such folder.
std::optional<std::string> writerSocketPath(const std::string& storePath);

// One command's connection to the writer: made before the command runs (a writer with a
// command connected does not end), used once after it.
class StoreWriterLink {
 public:
  // Connects to the writer of `storePath`; nothing when none is listening.
  static std::optional<StoreWriterLink> connect(const std::string& storePath);
  // Starts a writer of `storePath` from `program` (pelk40-cli) in a session of its own, with no
  // terminal and none of this process's files; it outlives this process. False when it could
  // not be started.
  static bool startWriter(const std::string& program, const std::string& storePath);

  // Tells the writer a command is starting; false when the writer is gone.
  bool announce(const WriterBegin& begin);
  // Hands the job over and waits for the answer: nothing when the writer ended or did not
  // answer in time, in which case the run may or may not have been stored.
  std::optional<WriterReply> hand(const WriterJob& job);

  StoreWriterLink(StoreWriterLink&& other) noexcept;
  StoreWriterLink& operator=(StoreWriterLink&& other) noexcept;
  ~StoreWriterLink();

 private:
  explicit StoreWriterLink(int fd) : fd_(fd) {}
  int fd_ = -1;
};

// How long a writer waits, with no command connected, before it ends.
inline constexpr std::chrono::seconds kWriterIdleTime{30};

// Runs the writer of the store at `storePath` until it has been idle for `idle`, or the store
// file was removed or replaced, or another writer took its socket. Returns the exit status: 0,
// or 1 when the store could not be opened (nothing to serve).
int serveStoreWriter(const std::string& storePath, std::chrono::milliseconds idle);

}  // namespace pelk
