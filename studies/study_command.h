#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace pelk {

// The "study" subcommand, ready for a front end to call with the words after "study":
//   --baseline PATH --followup PATH [--followup PATH] --out DIR [--slice N]
//   [--patient T --test T --hospital T --date T]
// On success writes the study's files into DIR, prints the account to `out` and returns 0. A
// failed study prints "error: study: MESSAGE" to `err`, writes nothing and returns 1; bad usage
// prints the reason and the usage to `err` and returns 2; --help prints the usage and returns 0.
int runStudyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pelk
