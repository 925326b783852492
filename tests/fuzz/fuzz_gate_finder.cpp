// The gate finder's loader and scan on any header and pixel bytes: sizes that lie about the
// data, sizes beyond the grid, files cut anywhere.
#include "common/io_error.h"
#include "regions/tform130.h"
#include "tests/fuzz/fuzz_support.h"

#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelk::fuzz::enterScratchFolder();
  {
    std::ofstream out("diffbmp.bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  pelk::TForm130 form;
  form.setFileNames("diffbmp.bmp", "cluster1.db.txt");
  try {
    form.doCluster();
  } catch (const pelk::IoError&) {
  }
  return 0;
}
