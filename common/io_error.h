#pragma once
#include <stdexcept>
#include <string>

namespace pelk {

// An input/output failure: a file that cannot be opened, created or read, a read past the end
// of a file, a non-numeric token where a number belongs. It ends the running operation; the
// workbench catches it at the command boundary and shows its message.
class IoError : public std::runtime_error {
 public:
  explicit IoError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace pelk
