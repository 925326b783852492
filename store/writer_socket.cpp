#include "store/writer_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/sha256.h"
#include "store/store_writer.h"

namespace pelk {
namespace {

// A peer that takes no bytes for this long has stopped reading.
constexpr int kSendWaitMs = 5'000;

// A folder that only this user can enter: made if missing, refused if it is a link, someone
// else's, or open to others (a socket there could be anyone's).
bool ownPrivateFolder(const std::string& folder) {
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (::lstat(folder.c_str(), &st) != 0) return false;
  }
  return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

}  // namespace

std::string framed(std::string_view message) {
  const auto n = static_cast<std::uint32_t>(message.size());
  std::string out{static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
                  static_cast<char>(n)};
  out += message;
  return out;
}

std::optional<std::size_t> framedLength(std::string_view received) {
  if (received.size() < 4) return std::nullopt;
  std::uint32_t n = 0;
  for (int i = 0; i < 4; ++i) n = (n << 8) | static_cast<unsigned char>(received[i]);
  return n > kMaxWriterMessageBytes ? SIZE_MAX : std::size_t{n};
}

sockaddr_un socketAddress(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

bool sendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, kSendWaitMs) > 0) continue;
      return false;
    }
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

std::optional<std::string> writerSocketPath(const std::string& storePath) {
  std::string folder;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/')
    folder = std::string(runtime) + "/pelk40";
  else folder = "/tmp/pelk40-" + std::to_string(::geteuid());
  if (!ownPrivateFolder(folder)) return std::nullopt;
  std::string path = folder + "/writer-" + sha256Hex(storePath).substr(0, 24) + ".sock";
  if (path.size() >= sizeof(sockaddr_un{}.sun_path)) return std::nullopt;
  return path;
}

}  // namespace pelk
