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

bool readSmallFile(const std::filesystem::path& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  content = text.str();
  return true;
}

}  // namespace pelk
