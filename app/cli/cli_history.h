#pragma once
#include <ostream>

namespace pelk {

// "pelk40-cli history [--store URL] [--patient P] [--since DATE] [--format table|csv|json]
// [--plot FILE.svg]": the runs of the results store, oldest first, on out; with --plot the
// lesion burden and verdict of each run over time as an SVG picture instead. argv[0] is
// "history". Returns 0, 1 when the store cannot be read or the picture written, 2 for bad usage.
int runHistoryCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace pelk
