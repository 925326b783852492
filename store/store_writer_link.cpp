#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "store/store_writer.h"
#include "store/writer_socket.h"

extern char** environ;

namespace pelk {
namespace {

// The writer queues runs one after another, each waiting at most the store's few seconds for
// its lock: a writer that has not answered in this long is taken to be stuck.
constexpr int kAnswerWaitMs = 60'000;

}  // namespace

std::optional<StoreWriterLink> StoreWriterLink::connect(const std::string& storePath) {
  const auto path = writerSocketPath(storePath);
  if (!path) return std::nullopt;
  const sockaddr_un address = socketAddress(*path);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::nullopt;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return std::nullopt;
  }
  return StoreWriterLink(fd);
}

bool StoreWriterLink::startWriter(const std::string& program, const std::string& storePath) {
  posix_spawn_file_actions_t files;
  posix_spawnattr_t attributes;
  if (posix_spawn_file_actions_init(&files) != 0) return false;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&files);
    return false;
  }
  // Nobody waits on its output: whoever reads this process's pipes sees their end when this
  // process ends, and the writer is in no terminal's or batch job's process group.
  for (int fd = 0; fd <= 2; ++fd)
    posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd ? O_WRONLY : O_RDONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&files, 3);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
  std::string word = "store-writer", path = storePath, name = "pelk40-cli";
  char* argv[] = {name.data(), word.data(), path.data(), nullptr};
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, program.c_str(), &files, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&files);
  return rc == 0;
}

bool StoreWriterLink::announce(const WriterBegin& begin) {
  return fd_ >= 0 && sendAll(fd_, framed(encodeBegin(begin)));
}

std::optional<WriterReply> StoreWriterLink::hand(const WriterJob& job) {
  if (fd_ < 0 || !sendAll(fd_, framed(encodeJob(job)))) return std::nullopt;
  std::string received;
  char chunk[4096];
  for (;;) {
    if (auto length = framedLength(received)) {
      if (*length == SIZE_MAX) return std::nullopt;
      if (received.size() >= 4 + *length)
        return decodeReply(std::string_view(received).substr(4, *length));
    }
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, kAnswerWaitMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return std::nullopt;
    received.append(chunk, static_cast<std::size_t>(got));
  }
}

StoreWriterLink::StoreWriterLink(StoreWriterLink&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

StoreWriterLink& StoreWriterLink::operator=(StoreWriterLink&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

StoreWriterLink::~StoreWriterLink() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace pelk
