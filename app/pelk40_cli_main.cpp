#include <iostream>

#include "app/cli/cli_run.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return pelk::runCli(argc, argv, std::cout, std::cerr);
}
