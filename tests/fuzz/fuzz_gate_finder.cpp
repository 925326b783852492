// The region-growing loaders and scan on any header and pixel bytes: sizes that lie about the
// data, sizes beyond the grid, files cut anywhere; through the gate finder's two commands and
// the rank-analysis module's FG-1, which starts its pixels elsewhere.
#include "common/io_error.h"
#include "profiles/tform102.h"
#include "regions/tform130.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelk::fuzz::enterScratchFolder();
  const pelk::fuzz::Case input = pelk::fuzz::parseCase(data, size);
  pelk::fuzz::put("diffbmp.bmp", input.first);
  try {
    switch (input.selector % 3) {
      case 0: {
        pelk::TForm130 form;
        form.setFileNames("diffbmp.bmp", "cluster1.db.txt");
        form.doCluster();
        break;
      }
      case 1: {
        pelk::TForm130 form;
        form.imageFile = "diffbmp.bmp";
        form.Button1Click();
        break;
      }
      default: {
        pelk::TForm102 form;
        form.patientMriFile = "diffbmp.bmp";
        form.outputFile = "fg1.txt";
        form.Button2Click();
        break;
      }
    }
  } catch (const pelk::IoError&) {
  }
  return 0;
}
