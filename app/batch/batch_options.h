#pragma once
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pelk {

// What a batch was asked to do.
struct BatchOptions {
  std::string manifest;
  std::string outDir;
  int jobs = 1;
  std::vector<std::string> commands;  // empty: the default for the manifest's kind of rows
  std::string store;                  // passed to every row; postgresql:// also holds the claims
  int timeoutSeconds = 600;
  long memoryLimitMb = 0;
  int leaseSeconds = 60;
  std::string rowProgram;  // the program each row runs
};

inline constexpr int kBatchCompleted = 0;
inline constexpr int kBatchRowsFailed = 1;
inline constexpr int kBatchUsage = 2;
inline constexpr int kBatchInterrupted = 130;

struct BatchParse {
  std::optional<BatchOptions> options;
  int exitCode = kBatchCompleted;
};

// `program` is the path the batch was started as; the row program is looked for beside it.
BatchParse parseBatchOptions(int argc, const char* const* argv, std::ostream& out,
                             std::ostream& err);

// The words rows run when --commands is not given.
std::vector<std::string> defaultCommands();

}  // namespace pelk
