#pragma once
#include <ostream>

namespace pelk {

// The whole headless run: parse, enter the working directory, start the workbench, run the
// commands in order, then save the results area and the view (or print the results area to
// out). Returns 0 when every command completed, 1 when any stopped with an error, 2 for bad
// usage.
int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace pelk
