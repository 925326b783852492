#include "bench/io_floor.h"

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>

namespace pelk::bench {

void writeFloor(const std::vector<WrittenFile>& files) {
  for (const WrittenFile& f : files) {
    const int fd = ::open(f.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) throw std::runtime_error("floor: cannot create " + f.path);
    const ssize_t put = f.bytes.empty() ? 0 : ::write(fd, f.bytes.data(), f.bytes.size());
    ::close(fd);
    if (put != static_cast<ssize_t>(f.bytes.size()))
      throw std::runtime_error("floor: short write " + f.path);
  }
}

}  // namespace pelk::bench
