// The intensity map passes on any bitmap pair: both map modules, the job-list run, the coarse
// Run pass, and a fuzzed map job list. Every completed pass writes a 2 MB map, so this target
// is kept apart from the cheap readers.
#include "common/io_error.h"
#include "maps/tform103.h"
#include "maps/tform1031.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelk::fuzz::enterScratchFolder();
  const pelk::fuzz::Case input = pelk::fuzz::parseCase(data, size);
  pelk::fuzz::put("std.bmp", input.first);
  pelk::fuzz::put("ref.bmp", input.second);
  try {
    switch (input.selector % 5) {
      case 0: {
        pelk::TForm103 form;
        form.makeMap2({"std.bmp", "ref.bmp"}, {"setup101.map", "setup102b.map"});
        break;
      }
      case 1: {
        pelk::TForm1031 form;
        form.setFilenames2("std.bmp", "ref.bmp");
        form.makeMap();
        break;
      }
      case 2: {
        pelk::TForm103 form;
        form.setFileNames("std.bmp", "ref.bmp");
        form.makeMap();
        break;
      }
      case 3: {
        pelk::TForm103 form;
        form.setFileNames("std.bmp", "ref.bmp");
        form.Button1Click();
        break;
      }
      default: {
        // The first file is the job list; its entries may name the second file, "ref.bmp".
        pelk::fuzz::put("vmap1.dat", pelk::fuzz::confined(input.first));
        pelk::TForm103 form;
        form.makeMap();
        break;
      }
    }
  } catch (const pelk::IoError&) {
  }
  return 0;
}
