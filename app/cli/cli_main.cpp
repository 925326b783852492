#include "app/cli/cli_main.h"

#include <exception>
#include <iostream>

#include "app/cli/cli_run.h"

namespace pelk {

int cliMain(int argc, char** argv, const CliProgram& program) {
  try {
    return runCli(argc, argv, std::cout, std::cerr, program);
  } catch (const std::exception& e) {
    // Commands report their own failures; this is only what escapes the run itself.
    std::cerr << "pelk40-cli: " << e.what() << '\n';
    return 1;
  }
}

}  // namespace pelk
