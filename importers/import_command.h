#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace pelk {

// The "import" subcommand, ready for a front end to call with the words after "import":
//   SOURCE --out FILE.bmp [--slice N] [--window auto|MIN:MAX]
// On success prints the one-line summary to `out` and returns 0. A failed import prints
// "error: import: MESSAGE" to `err` and returns 1; bad usage prints the reason and the usage to
// `err` and returns 2; --help prints the usage to `out` and returns 0.
int runImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pelk
