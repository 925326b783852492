#include <cstdio>
#include <iostream>

#include "app/batch/batch_options.h"
#include "app/batch/batch_run.h"

int main(int argc, char** argv) {
  pelk::BatchParse parse = pelk::parseBatchOptions(argc, argv, std::cout, std::cerr);
  if (!parse.options) return parse.exitCode;
  return pelk::runBatch(*parse.options, stdout, stderr);
}
