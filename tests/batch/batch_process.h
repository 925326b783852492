#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pelk::test {

// pelk40-batch started as a user would, its output kept in files of the current folder.
struct BatchProcess {
  pid_t pid = -1;
  std::string outFile, errFile;

  static BatchProcess start(const std::vector<std::string>& args,
                            const std::vector<std::pair<std::string, std::string>>& env = {},
                            const std::string& name = "batch");
  // The exit status, or 128 + signal; -1 when it did not end within `seconds` (then killed).
  int wait(int seconds = 120);
  std::string out() const;
  std::string err() const;
};

// One row of DIR/batch-summary.csv by column name, rows in manifest order.
std::vector<std::vector<std::pair<std::string, std::string>>> readSummary(const std::string& dir);
std::string column(const std::vector<std::pair<std::string, std::string>>& row,
                   const std::string& name);

// Waits until `done` holds, up to `seconds`.
bool eventually(int seconds, const std::function<bool()>& done);

}  // namespace pelk::test
