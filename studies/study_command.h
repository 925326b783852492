#pragma once
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "studies/study_run.h"

namespace pelk {

// The "study" subcommand, ready for a front end to call with the words after "study":
//   --baseline PATH --followup PATH [--followup PATH] --out DIR [--slice N]
//   [--patient T --test T --hospital T --date T]
// On success writes the study's files into DIR, prints the account to `out` and returns 0. A
// failed study prints "error: study: MESSAGE" to `err`, writes nothing and returns 1; bad usage
// prints the reason and the usage to `err` and returns 2; --help prints the usage and returns 0.
//
// A front end that records runs passes `ended`: it is called once the study has run or failed
// (not for bad usage or --help), with the request as given (its store options included), whether
// it completed and the error; a warning it returns is printed to `err` and changes nothing else.
using StudyEnded = std::function<std::optional<std::string>(
    const StudyRequest& request, bool completed, const std::string& error)>;
int runStudyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const StudyEnded& ended = {});

}  // namespace pelk
