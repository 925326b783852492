#pragma once
#include <sys/un.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pelk {

// How the writer's messages travel on its socket: a four-byte length, high byte first, then the
// message. A message longer than this is refused.
inline constexpr std::size_t kMaxWriterMessageBytes = std::size_t{64} << 20;

std::string framed(std::string_view message);

// The length of the message that `received` begins with, once its length has arrived; nothing
// yet when fewer than four bytes are in, and SIZE_MAX when the length is past the limit.
std::optional<std::size_t> framedLength(std::string_view received);

// The address of the socket file at `path` (shorter than sockaddr_un's path: writerSocketPath).
sockaddr_un socketAddress(const std::string& path);

// Writes all of `bytes` to a socket, waiting as needed, without a signal if the peer has gone.
bool sendAll(int fd, std::string_view bytes);

}  // namespace pelk
