#pragma once
#include <string>
#include <vector>

namespace pelk::test {

// A program run as a process, its standard output and error captured through files in the
// current folder.
struct Finished {
  bool exited = false;  // false: it did not start, or a signal ended it
  int status = -1;      // the exit status, or minus the signal
  std::string out;
  std::string err;
};
Finished runProcess(const std::vector<std::string>& argv);

}  // namespace pelk::test
