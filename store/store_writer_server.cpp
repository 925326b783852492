#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <vector>

#include "common/large_page_heap.h"
#include "store/file_stamp.h"
#include "store/log_copier.h"
#include "store/result_store.h"
#include "store/run_recorder.h"
#include "store/store_writer.h"
#include "store/writer_socket.h"

namespace pelk {
namespace {

// How often the writer looks whether its store file and socket are still its own, and how long
// it waits after a run before copying the log back.
constexpr int kLookEveryMs = 1000;

// Each run's rows and result texts take a few MB, freed after it: kept in the heap, in large
// pages, the next run finds them touched already (handed back, they cost a page fault a page
// each time, a fifth of a run's work here).
constexpr std::size_t kWriterHeapBytes = std::size_t{16} << 20;

// While runs keep coming the log grows, up to this, and is then copied back beside them by a
// thread of its own: copying waits for the disk, and after a command that means waiting for the
// files it has just written (20 to 30 ms after a "7."). Nobody else pays for a long log while the
// writer holds the store open; the run after a complete copy waits once for the disk, to start
// the log anew.
constexpr std::uintmax_t kBusyLogBytes = std::uintmax_t{16} << 20;

struct FileId {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileId&) const = default;
};

std::optional<FileId> idOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileId{st.st_dev, st.st_ino};
}

// Listens at `path`; -1 when another writer already does. A socket file left by a writer that
// ended without removing it is replaced.
int listenAt(const std::string& path) {
  const sockaddr_un address = socketAddress(path);
  const auto* named = reinterpret_cast<const sockaddr*>(&address);
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    if (::bind(fd, named, sizeof address) == 0 && ::listen(fd, 64) == 0) return fd;
    const bool inUse = errno == EADDRINUSE;
    ::close(fd);
    if (!inUse || attempt > 0) return -1;
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool live = probe >= 0 && ::connect(probe, named, sizeof address) == 0;
    if (probe >= 0) ::close(probe);
    if (live) return -1;
    ::unlink(path.c_str());
  }
  return -1;
}

class Writer {
 public:
  Writer(std::string storePath, std::unique_ptr<ResultStore> store, FileId storeId)
      : storePath_(std::move(storePath)),
        store_(std::move(store)),
        storeId_(storeId),
        version_(store_->schemaVersion()) {}

  // The scans a command announced, described (hashed) while it runs, with their state then.
  struct Described {
    CommandInputs inputs;
    std::vector<ScanRecord> scans;
    std::vector<FileState> stamps;
  };

  Described describe(const WriterBegin& begin) {
    Described d;
    d.inputs.standard = begin.standard;
    d.inputs.reference = begin.reference;
    d.inputs.third = begin.third;
    if (::chdir(begin.workDir.c_str()) != 0) return d;
    d.stamps = scanStatesOf(d.inputs);
    try {
      d.scans = describeScans(begin.command, d.inputs);
    } catch (const std::exception&) {
      d.stamps.clear();  // described again with the run, which says what went wrong
    }
    (void)::chdir("/");
    return d;
  }

  // The answer to one job. After a job it could not take because its store changed, the
  // writer should end (stale()).
  WriterReply take(const WriterJob& job, const std::optional<Described>& begun) {
    if (job.storePath != storePath_) return unable("the run was for another store");
    if (stale()) return unable("the store was replaced or changed its version");
    if (::chdir(job.run.workDir.c_str()) != 0)
      return unable("cannot enter " + job.run.workDir + ": " + std::strerror(errno));
    RunRecord run = job.run;
    const std::set<std::string> fresh(job.freshFiles.begin(), job.freshFiles.end());
    WriterReply reply;
    try {
      if (begun) {
        // Stored as they are once the command has run: a scan rewritten since it was hashed
        // is described again.
        const bool same = !begun->stamps.empty() && scanStatesOf(begun->inputs) == begun->stamps;
        run.scans = same ? begun->scans : describeScans(run.command, begun->inputs);
      }
      run.results = collectResults(
          run.command, [&](const std::string& file) { return fresh.contains(file); },
          job.resultsFolder);
      reply = {WriterReply::Kind::kStored, store_->record(run), {}};
    } catch (const StoreError& e) {
      reply = {WriterReply::Kind::kRefused, 0, e.what()};
    } catch (const std::exception& e) {
      reply = unable(e.what());
    }
    (void)::chdir("/");
    return reply;
  }

  // The store file was removed or replaced, or another program changed its tables: what this
  // writer holds open is no longer the store that commands name.
  bool stale() {
    if (idOf(storePath_) != storeId_) return true;
    try {
      return store_->schemaVersion() != version_;
    } catch (const StoreError&) {
      return true;
    }
  }

  // A long log is copied back into the database once no run has come for a while (the
  // commands no longer do it), or beside the runs when it has grown very long.
  void keepLogShort(bool idle) {
    if (idle) copySqliteLogBackIfLong(storePath_);
    else if (sqliteLogBytes(storePath_) > kBusyLogBytes) copier_.request();
  }

 private:
  static WriterReply unable(std::string why) { return {WriterReply::Kind::kUnable, 0, why}; }

  std::string storePath_;
  std::unique_ptr<ResultStore> store_;
  FileId storeId_;
  int version_;
  LogCopier copier_{storePath_};
};

// A connected command, what it has sent so far, and its scans once it announced them.
struct Client {
  int fd;
  std::string received;
  std::optional<Writer::Described> begun = std::nullopt;
};

// Reads what a client has sent. False when it is gone or sent more than a job can be.
bool readFrom(Client& client) {
  char chunk[16384];
  for (;;) {
    const ssize_t got = ::recv(client.fd, chunk, sizeof chunk, 0);
    if (got > 0) {
      client.received.append(chunk, static_cast<std::size_t>(got));
      if (client.received.size() > kMaxWriterMessageBytes + 4) return false;
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

// Takes the first whole message a client has sent off what it has received: nothing while it
// is not all in; an empty message when the client announced more than a message can be.
std::optional<std::string> takeMessage(Client& client) {
  auto length = framedLength(client.received);
  if (!length || (*length != SIZE_MAX && client.received.size() < 4 + *length)) return std::nullopt;
  if (*length == SIZE_MAX) return std::string();
  std::string message = client.received.substr(4, *length);
  client.received.erase(0, 4 + *length);
  return message;
}

// Reads what the client sent and answers its job once it is all in. True when the client is
// done with (answered, gone, or sending what is no job); `tookJob` is set when it was answered.
bool serve(Client& client, Writer& writer, bool& tookJob) {
  const bool open = readFrom(client);
  while (auto message = takeMessage(client)) {
    if (auto begin = decodeBegin(*message)) {
      client.begun = writer.describe(*begin);
      continue;
    }
    auto job = decodeJob(*message);
    WriterReply reply = job ? writer.take(*job, client.begun)
                            : WriterReply{WriterReply::Kind::kUnable, 0, "not a run"};
    sendAll(client.fd, framed(encodeReply(reply)));
    tookJob = true;
    return true;
  }
  return !open;
}

bool sameUser(int fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

}  // namespace

int serveStoreWriter(const std::string& storePath, std::chrono::milliseconds idle) {
  reserveLargePageHeap(kWriterHeapBytes);
  ::signal(SIGPIPE, SIG_IGN);
  (void)::chdir("/");
  const auto socketPath = writerSocketPath(storePath);
  if (!socketPath) return 1;
  std::unique_ptr<ResultStore> store;
  try {
    store = ResultStore::open({"sqlite:" + storePath, false, LogCopyBack::kByResidentWriter}, true);
    store->prepareRecording();
  } catch (const StoreError&) {
    return 1;  // the commands write it themselves, and say what is wrong
  }
  const auto storeId = idOf(storePath);
  if (!storeId) return 1;
  Writer writer(storePath, std::move(store), *storeId);

  const int listener = listenAt(*socketPath);
  if (listener < 0) return 0;
  const auto socketId = idOf(*socketPath);
  std::vector<Client> clients;
  auto lastBusy = std::chrono::steady_clock::now();
  // Once ending, the socket's name is gone, so no command connects any more; those already
  // connected, or waiting to be accepted, are still served.
  bool ending = false;
  bool logCopied = true;
  for (;;) {
    std::vector<pollfd> waits{{listener, POLLIN, 0}};
    for (const Client& c : clients) waits.push_back({c.fd, POLLIN, 0});
    const int wait = ending && clients.empty() ? 0 : kLookEveryMs;
    const int ready = ::poll(waits.data(), waits.size(), wait);
    if (ready < 0 && errno != EINTR) break;
    const bool waiting = waits[0].revents & POLLIN;
    if (waiting) {
      for (int fd; (fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0;)
        if (sameUser(fd)) clients.push_back({fd, {}});
        else ::close(fd);
    }
    bool tookJob = false;
    for (std::size_t i = std::min(clients.size(), waits.size() - 1); i-- > 0;) {
      if (!(waits[i + 1].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      if (serve(clients[i], writer, tookJob)) {
        ::close(clients[i].fd);
        clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
    if (ending && clients.empty() && !waiting) break;
    const auto now = std::chrono::steady_clock::now();
    if (tookJob) {
      writer.keepLogShort(false);
      logCopied = false;
    }
    if (tookJob || !clients.empty()) lastBusy = now;
    if (ready == 0 && !logCopied && now - lastBusy >= std::chrono::milliseconds(kLookEveryMs)) {
      writer.keepLogShort(true);
      logCopied = true;
    }
    // After a run the store was just looked at (Writer::take).
    if (!ending && (now - lastBusy >= idle || idOf(*socketPath) != socketId ||
                    (!tookJob && clients.empty() && writer.stale()))) {
      ending = true;
      if (idOf(*socketPath) == socketId) ::unlink(socketPath->c_str());
    }
  }
  ::close(listener);
  return 0;
}

}  // namespace pelk
