#include "common/replace_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "common/io_error.h"

namespace pelk {
namespace {

std::string reason() { return std::strerror(errno); }

bool writeAll(int fd, std::string_view content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const ssize_t put = ::write(fd, data, left);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += put;
    left -= static_cast<std::size_t>(put);
  }
  return true;
}

}  // namespace

void replaceFileWhole(const std::string& path, std::string_view content) {
  const std::filesystem::path target(path);
  if (target.filename().empty()) throw IoError("Cannot create file: " + path + " (no file name)");
  std::string hidden = ".";
  hidden += target.filename().string();
  hidden += ".XXXXXX";
  std::string pattern = (target.parent_path() / hidden).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');

  const int fd = ::mkstemp(name.data());
  if (fd < 0) throw IoError("Cannot create file: " + path + " (" + reason() + ")");
  const std::string temporary(name.data());
  // mkstemp makes the file private to its owner; a scan bitmap should read like any other file.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);

  const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
  const int writeErrno = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    ::unlink(temporary.c_str());
    errno = written ? errno : writeErrno;
    throw IoError("Cannot write file: " + path + " (" + reason() + ")");
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string why = reason();
    ::unlink(temporary.c_str());
    throw IoError("Cannot write file: " + path + " (" + why + ")");
  }
}

}  // namespace pelk
