#include "app/batch/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace pelk {

std::filesystem::path temporaryBeside(const std::filesystem::path& path) {
  // Workers on several machines may share the folder: the process id alone could repeat.
  static std::mt19937_64 random{std::random_device{}()};
  return path.string() + ".tmp-" + std::to_string(::getpid()) + "-" +
         std::to_string(random() % 1000000);
}

void writeFileAtomically(const std::filesystem::path& path, const std::string& content) {
  const std::filesystem::path temporary = temporaryBeside(path);
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0)
    throw std::runtime_error("cannot write " + temporary.string() + ": " + std::strerror(errno));
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const std::string reason = std::strerror(errno);
      ::close(fd);
      ::unlink(temporary.c_str());
      throw std::runtime_error("cannot write " + temporary.string() + ": " + reason);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0 || std::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    ::unlink(temporary.c_str());
    throw std::runtime_error("cannot write " + path.string() + ": " + reason);
  }
}

bool readSmallFile(const std::filesystem::path& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  content = text.str();
  return true;
}

}  // namespace pelk
