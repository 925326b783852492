#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace pelk {

// The "study" word as the command line runs it: the study, then its run recorded in the results
// store like every other command (--store, PELK40_STORE or the default store; --no-store).
int runRecordedStudy(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pelk
