// The bitmap readers that take a file as it comes: the header reader, the profile builder,
// the difference image over a pair, the view's scan reader and the difference script.
#include "common/bmp_header.h"
#include "common/io_error.h"
#include "common/picture.h"
#include "maps/tform120.h"
#include "profiles/tform101.h"
#include "sqlexport/sql_export.h"
#include "tests/fuzz/fuzz_support.h"
#include "workbench/read_img_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelk::fuzz::enterScratchFolder();
  const pelk::fuzz::Case input = pelk::fuzz::parseCase(data, size);
  pelk::fuzz::put("std.bmp", input.first);
  pelk::fuzz::put("ref.bmp", input.second);
  try {
    switch (input.selector % 5) {
      case 0: {
        pelk::ModuleLog log;
        pelk::readBmpSize("std.bmp", log);
        break;
      }
      case 1: {
        pelk::TForm101 form;
        form.MakeParam2Files({"std.bmp", "ref.bmp"}, {"setup101.param1", "setup101b.param1"});
        break;
      }
      case 2: {
        pelk::TForm120 form;
        form.setFileNames("std.bmp", "ref.bmp");
        form.doDiffBmp();
        break;
      }
      case 3: {
        pelk::Picture view;
        pelk::readImgFile("std.bmp", view);
        break;
      }
      default: pelk::diffbmpSql("std.bmp", "patient1", "test1"); break;
    }
  } catch (const pelk::IoError&) {
  }
  return 0;
}
