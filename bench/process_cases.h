#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/results_table.h"
#include "bench/write_recorder.h"

namespace pelk::bench {

// The files an in-process case writes on the 512 x 512 scans, by the case's name, for the floor
// of the same command run as a whole process.
using FloorFiles = std::function<std::vector<WrittenFile>(const std::string& caseName)>;

// Runs the named in-process case once on the 512 x 512 scans, its untimed set-up first, and
// returns the seconds its timed part took.
using InProcessRun = std::function<double(const std::string& caseName)>;

// Whole-process rows: an empty C++ program, `pelk40-cli --version` and each legacy command run as
// `pelk40-cli --std ... WORD` in `dir` (the 512 x 512 workspace), each timed from spawn to exit
// with its peak resident size, beside the row it is compared with. A legacy command's process is
// timed in blocks alternated with blocks of the same command in process, so that the difference
// between the two is not the machine's drift between two rows timed minutes apart.
void registerProcessCases(ResultsTable& table, const std::filesystem::path& dir,
                          FloorFiles floorFiles, InProcessRun inProcess);

}  // namespace pelk::bench
