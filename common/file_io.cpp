#include "common/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/io_error.h"

namespace pelk {
namespace {

// Nothing this system reads legitimately comes near this; a larger file is refused rather
// than loaded.
constexpr long long kMaxInputBytes = 512LL * 1024 * 1024;

// Opened without waiting: a named pipe would otherwise block the open until a writer comes,
// and the command would hang instead of failing. Anything but a regular file is refused.
std::FILE* openForReading(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) throw IoError("File not found: " + path);
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
std::FILE* openForWriting(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) throw IoError("Cannot create file: " + path + " (" + std::strerror(errno) + ")");
  const int flags = fcntl(fd, F_GETFL);
  std::FILE* f = flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ? nullptr : fdopen(fd, "wb");
  if (!f) {
    const int error = errno;
    ::close(fd);
    throw IoError("Cannot create file: " + path + " (" + std::strerror(error) + ")");
  }
  return f;
}

}  // namespace

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

std::size_t InFile::appendTo(std::string& out, std::size_t count) {
  const std::size_t had = out.size();
  out.resize(had + count);
  const std::size_t got = std::fread(out.data() + had, 1, count, file_);
  out.resize(had + got);
  if (got < count && std::ferror(file_)) throw IoError("Cannot read file: " + path_);
  return got;
}

OutFile::OutFile(std::string path) : path_(std::move(path)) {
  file_ = openForWriting(path_);
}

OutFile::~OutFile() {
  if (file_) {
    flush();
    std::fclose(file_);
  }
}

void OutFile::line(std::string_view text) {
  buffer_.append(text);
  buffer_ += "\r\n";
}

void OutFile::flush() {
  if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
  buffer_.clear();
}

void OutFile::close() {
  if (!file_) return;
  std::size_t size = buffer_.size();
  std::size_t put = size ? std::fwrite(buffer_.data(), 1, size, file_) : 0;
  buffer_.clear();
  int closed = std::fclose(file_);
  file_ = nullptr;
  if (put != size || closed != 0) throw IoError("Cannot write file: " + path_);
}

void writeWholeFile(const std::string& path, std::string_view content) {
  OutFile out(path);
  out.text().assign(content);
  out.close();
}

}  // namespace pelk
