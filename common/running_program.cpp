#include "common/running_program.h"

namespace pelk {

std::filesystem::path runningProgram(std::error_code& ec) {
  return std::filesystem::read_symlink("/proc/self/exe", ec);
}

}  // namespace pelk
