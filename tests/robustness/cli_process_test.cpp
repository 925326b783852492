// Every malformed input of the table through every command of the headless front end, run as
// a process the way a batch job runs it: the process ends with status 0 or 1 (never a signal),
// reports each failed command on one line of its own, says 1 exactly when a command failed,
// keeps every results line, leaves the user's files alone, and still saves the results after.
#include <algorithm>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/robustness/robustness_fixture.h"
#include "tests/support/files.h"
#include "tests/support/process.h"

namespace pelk::test {
namespace {

Finished runCli(const std::vector<std::string>& args) {
  std::vector<std::string> all{PELK40_CLI};
  all.insert(all.end(), args.begin(), args.end());
  return runProcess(all);
}

std::vector<std::string> lfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

// The false-colour command comes first, so that it meets a bad ".map" file before any other
// command writes a sound one over it. The differential image runs last on the inputs as given.
const std::vector<std::string> kCommands = {"false-color",
                                            "plot-std",
                                            "plot-ref",
                                            "plot",
                                            "rra1",
                                            "rra2",
                                            "mchs",
                                            "zchs",
                                            "cluster",
                                            "tpa",
                                            "synopsis1",
                                            "synopsis2",
                                            "tes",
                                            "save-image=view",
                                            "save-results=middle.txt",
                                            "diff",
                                            "save-results=final.txt"};

class BadInputCli : public BadInputFolder {};

TEST_P(BadInputCli, EveryCommandEndsCleanlyAndTheResultsAreKept) {
  const auto userFilesBefore = userFiles();
  std::vector<std::string> args{"--dir",     dir().string(),  "--std",   standardName(),
                                "--ref",     referenceName(), "--third", thirdName(),
                                "--results", "results.txt"};
  args.insert(args.end(), kCommands.begin(), kCommands.end());
  const Finished run = runCli(args);

  ASSERT_TRUE(run.exited) << "ended by signal " << -run.status << "\n" << run.err;
  bool anyError = false;
  for (const std::string& line : lfLines(run.err)) {
    SCOPED_TRACE(line);
    const bool error = line.rfind("error: ", 0) == 0;
    const std::string rest = error ? line.substr(7) : line;
    const std::size_t colon = rest.find(": ");
    ASSERT_NE(colon, std::string::npos);
    const std::string word = rest.substr(0, colon);
    EXPECT_TRUE(word == "start-up" || word == "--results" ||
                std::find(kCommands.begin(), kCommands.end(), word) != kCommands.end());
    EXPECT_GT(rest.size(), colon + 2) << "a message without text";
    if (error && word != "start-up") anyError = true;
    EXPECT_NE(word, "save-results=final.txt") << "the last command must still work";
    EXPECT_NE(word, "--results");
  }
  EXPECT_EQ(run.status, anyError ? 1 : 0);

  const std::string final = readFile("final.txt");
  EXPECT_EQ(final.rfind("Results Area\r\n", 0), 0u);
  EXPECT_EQ(final.rfind(readFile("middle.txt"), 0), 0u) << "lines appended before were lost";
  EXPECT_EQ(readFile("results.txt"), final);
  EXPECT_EQ(userFiles(), userFilesBefore) << "a user's file changed";
}

// The window's table meets every bad scan in both roles; the process runs the same commands, so
// one role each keeps the sanitized build's run short.
INSTANTIATE_TEST_SUITE_P(Table, BadInputCli, ::testing::ValuesIn(badInputsOnce()),
                         [](const auto& info) { return testName(info.param); });

}  // namespace
}  // namespace pelk::test
