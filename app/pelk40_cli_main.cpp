#include <exception>
#include <iostream>

#include "app/cli/cli_run.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  try {
    return pelk::runCli(argc, argv, std::cout, std::cerr);
  } catch (const std::exception& e) {
    // Commands report their own failures; this is only what escapes the run itself.
    std::cerr << "pelk40-cli: " << e.what() << '\n';
    return 1;
  }
}
