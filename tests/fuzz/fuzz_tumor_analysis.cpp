// Tumour progression on two arbitrary cluster summary files: counts of any size or sign,
// garbage tokens, files cut short.
#include "common/io_error.h"
#include "regions/tform150.h"
#include "tests/fuzz/fuzz_support.h"

#include <fstream>

namespace {

void put(const char* name, const std::string& content) {
  std::ofstream out(name, std::ios::binary);
  out << content;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelk::fuzz::enterScratchFolder();
  auto [first, second] = pelk::fuzz::splitInTwo(pelk::fuzz::asString(data, size));
  put("cluster1.db.txt.dat", first);
  put("cluster2.db.txt.dat", second);
  pelk::TForm150 form;
  form.setClusterFileNames("cluster1.db.txt.dat", "cluster2.db.txt.dat");
  try {
    form.doTumorAnalysis();
  } catch (const pelk::IoError&) {
  }
  return 0;
}
