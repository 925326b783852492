#pragma once
#include <functional>
#include <string>

#include "common/module_log.h"

namespace pelk {

// Writes the map job list: the standard image into "setup101.map1", the reference image into
// "setup102b.map1", then the end entry.
void writeMapJobList(const std::string& standardName, const std::string& referenceName);

// Runs `pass` (bitmap, output) for each entry of the map job list, logging
// "Processing File: " + bitmap before it. The end entry stops the run with "Done Processing";
// a list that runs out without one ends with "Done".
void runMapJobList(ModuleLog& log,
                   const std::function<void(const std::string&, const std::string&)>& pass);

}  // namespace pelk
