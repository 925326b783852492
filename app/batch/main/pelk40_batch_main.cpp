#include <cstdio>
#include <iostream>
#include <string_view>

#include "app/batch/batch_options.h"
#include "app/batch/batch_run.h"

int main(int argc, char** argv) {
  // "pelk40-cli batch …" hands its whole command line over, the word included.
  if (argc >= 2 && std::string_view(argv[1]) == "batch") {
    argv[1] = argv[0];
    --argc;
    ++argv;
  }
  pelk::BatchParse parse = pelk::parseBatchOptions(argc, argv, std::cout, std::cerr);
  if (!parse.options) return parse.exitCode;
  return pelk::runBatch(*parse.options, stdout, stderr);
}
