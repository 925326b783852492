// import-scan SOURCE --out FILE.bmp [--slice N] [--window auto|MIN:MAX]
// The import command on its own, for scripts that need real scans before the command-line
// front end offers it.
#include <iostream>
#include <string>
#include <vector>

#include "importers/import_command.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return pelk::runImportCommand(args, std::cout, std::cerr);
}
