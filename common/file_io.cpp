#include "common/file_io.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "common/io_error.h"

namespace pelk {
namespace {

// Nothing this system reads legitimately comes near this; a larger file is refused rather
// than loaded.
constexpr long long kMaxInputBytes = 512LL * 1024 * 1024;

std::string notFoundMessage(const std::string& path) { return "File not found: " + path; }

// Opened without waiting: a named pipe would otherwise block the open until a writer comes,
// and the command would hang instead of failing. Anything but a regular file is refused.
std::FILE* openForReading(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) throw IoError(notFoundMessage(path));
    throw IoError("Cannot open file: " + path + " (" + std::strerror(errno) + ")");
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw IoError("Cannot open file: " + path + " (not a regular file)");
  }
  if (st.st_size > kMaxInputBytes) {
    ::close(fd);
    throw IoError("File too large: " + path);
  }
  std::FILE* f = fdopen(fd, "rb");
  if (!f) {
    ::close(fd);
    throw IoError("Cannot open file: " + path + " (" + std::strerror(errno) + ")");
  }
  return f;
}

// Created without waiting for the same reason: an output name that is a pipe nobody reads
// fails at once.
int openForWriting(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) throw IoError("Cannot create file: " + path + " (" + std::strerror(errno) + ")");
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const int error = errno;
    ::close(fd);
    throw IoError("Cannot create file: " + path + " (" + std::strerror(error) + ")");
  }
  return fd;
}

// Writes every part, in as few calls as the system allows, going on after a short write.
bool writeParts(int fd, std::vector<iovec>& parts) {
  std::size_t first = 0;
  while (first < parts.size()) {
    const int count = static_cast<int>(std::min<std::size_t>(parts.size() - first, IOV_MAX));
    const ssize_t put = ::writev(fd, parts.data() + first, count);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    auto left = static_cast<std::size_t>(put);
    while (first < parts.size() && left >= parts[first].iov_len) left -= parts[first++].iov_len;
    if (left > 0) {
      parts[first].iov_base = static_cast<char*>(parts[first].iov_base) + left;
      parts[first].iov_len -= left;
    }
  }
  return true;
}

}  // namespace

std::optional<std::string> fileNotFound(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR)) return std::nullopt;
  return notFoundMessage(path);
}

std::string readWholeFile(const std::string& path) {
  InFile file(path);
  std::string data;
  file.appendTo(data, file.size());
  return data;
}

std::string readFileHead(const std::string& path, std::size_t count) {
  InFile file(path);
  std::string data;
  file.appendTo(data, count);
  return data;
}

InFile::InFile(const std::string& path) : path_(path), file_(openForReading(path)) {
  struct stat st {};
  if (fstat(fileno(file_), &st) == 0) size_ = static_cast<std::size_t>(st.st_size);
}

InFile::~InFile() { std::fclose(file_); }

template <class Buffer>
std::size_t InFile::read(Buffer& out, std::size_t count) {
  const std::size_t had = out.size();
  out.resize(had + count);
  const std::size_t got = std::fread(out.data() + had, 1, count, file_);
  out.resize(had + got);
  if (got < count && std::ferror(file_)) throw IoError("Cannot read file: " + path_);
  return got;
}

std::size_t InFile::appendTo(std::string& out, std::size_t count) { return read(out, count); }

std::size_t InFile::appendTo(ReadBuffer& out, std::size_t count) { return read(out, count); }

OutFile::OutFile(std::string path) : path_(std::move(path)), fd_(openForWriting(path_)) {}

OutFile::~OutFile() {
  if (fd_ < 0) return;
  writeAll();
  ::close(fd_);
}

void OutFile::line(std::string_view text) {
  buffer_.append(text);
  buffer_ += "\r\n";
}

void OutFile::appendLasting(std::string_view text) {
  if (!text.empty()) lasting_.push_back(LastingText{buffer_.size(), text});
}

bool OutFile::writeAll() {
  std::vector<iovec> parts;
  parts.reserve(2 * lasting_.size() + 1);
  const auto add = [&parts](const char* data, std::size_t size) {
    if (size > 0) parts.push_back(iovec{const_cast<char*>(data), size});
  };
  std::size_t from = 0;
  for (const LastingText& piece : lasting_) {
    add(buffer_.data() + from, piece.at - from);
    add(piece.text.data(), piece.text.size());
    from = piece.at;
  }
  add(buffer_.data() + from, buffer_.size() - from);
  const bool written = writeParts(fd_, parts);
  buffer_.clear();
  lasting_.clear();
  return written;
}

void OutFile::close() {
  if (fd_ < 0) return;
  const bool written = writeAll();
  const int closed = ::close(fd_);
  fd_ = -1;
  if (!written || closed != 0) throw IoError("Cannot write file: " + path_);
}

void writeWholeFile(const std::string& path, std::string_view content) {
  OutFile out(path);
  out.text().assign(content);
  out.close();
}

}  // namespace pelk
