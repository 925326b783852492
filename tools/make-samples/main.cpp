// make-samples [FOLDER]: writes the sample scans into FOLDER (default: the current folder).
#include <exception>
#include <iostream>
#include <string_view>

#include "tools/sample_set.h"

int main(int argc, char** argv) {
  if (argc > 2 ||
      (argc == 2 && (std::string_view(argv[1]) == "-h" || std::string_view(argv[1]) == "--help"))) {
    std::cerr << "usage: make-samples [FOLDER]\n"
                 "Writes test101.bmp, standard.bmp, reference.bmp and third.bmp, 512 x 512 "
                 "8-bit grey scans of a synthetic head, into FOLDER (default: .).\n";
    return argc > 2 ? 2 : 0;
  }
  try {
    for (const auto& path : pelk::writeSampleSet(argc == 2 ? argv[1] : "."))
      std::cout << path << '\n';
  } catch (const std::exception& e) {
    std::cerr << "make-samples: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
