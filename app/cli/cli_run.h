#pragma once
#include <ostream>

namespace pelk {

struct CliProgram;

// The whole headless run: parse, enter the working directory, start the workbench, run the
// commands in order, then save the results area and the view (or print the results area to
// out). Returns 0 when every command completed, 1 when any stopped with an error, 2 for bad
// usage. A command line with a word the program does not run itself is handed whole to the
// sibling executable that does, once it has been checked (a word that runs alone, at once).
int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           const CliProgram& program);

// The same run with every word in this process (pelk40-imaging; defined in pelk_cli_imaging).
int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace pelk
