#pragma once
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/cli_commands.h"
#include "workbench/test_info.h"

namespace pelk {

struct CliProgram;

// What a headless run was asked to do.
struct CliOptions {
  std::string standardImage = "Edit1";
  std::string referenceImage = "Edit2";
  std::string thirdImage = "Edit3";
  TestInformation testInfo;
  std::optional<std::string> workDir;
  std::optional<std::string> resultsFile;
  std::optional<std::string> viewFile;
  std::optional<std::string> reportFile;
  std::optional<std::string> store;  // --store; PELK40_STORE or the default store otherwise
  bool noStore = false;
  std::vector<BoundCommand> commands;
};

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitCommandFailed = 1;
inline constexpr int kExitUsage = 2;

// The parsed options, or the exit status when the run ends here: 0 after --help or --version
// (written to out), 2 for bad usage (explained on err). No command runs before every word has
// been checked. Words are bound to the program's own rows where it has them.
struct CliParse {
  std::optional<CliOptions> options;
  int exitCode = kExitCompleted;
};
CliParse parseCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                  const CliProgram& program);

}  // namespace pelk
