// The readers of the system's own text files, fed anything: profiles into the cores and into
// the zonal analysis, maps into RRA-2, the highlight system and the false-colour walk, and the
// result files behind the scripts and the sifter.
#include "common/io_error.h"
#include "common/picture.h"
#include "maps/tform104.h"
#include "profiles/tform102.h"
#include "regions/tform170.h"
#include "sqlexport/sql_export.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void putPair(const char* first, const char* second, const pelk::fuzz::Case& input) {
  pelk::fuzz::put(first, input.first);
  pelk::fuzz::put(second, input.second);
}

void run(const pelk::fuzz::Case& input) {
  switch (input.selector % 12) {
    case 0: {
      putPair("setup101.param1", "setup101b.param1", input);
      pelk::TForm102 form;
      form.performRRA1("setup101.param1", "setup101b.param1");
      break;
    }
    case 1: {
      putPair("setup101.param1", "setup101b.param1", input);
      pelk::TForm170 form;
      form.doZchs("setup101.param1", "setup101b.param1");
      break;
    }
    case 2:
      putPair("setup101.param1", "unused.txt", input);
      pelk::param1Sql("setup101.param1", "patient1", "test1");
      break;
    case 3:
      putPair("zchs.dat", "unused.txt", input);
      pelk::zchsSql("zchs.dat", "patient1", "test1");
      break;
    case 4:
      putPair("tpa.dat", "unused.txt", input);
      pelk::tpaSql("tpa.dat", "patient1", "test1");
      break;
    case 5:
      putPair("mchs-results.dat", "unused.txt", input);
      pelk::mchsSql("mchs-results.dat", "patient1", "test1");
      break;
    case 6: {
      putPair("sift-a.txt", "sift-b.txt", input);
      pelk::TForm102 form;
      form.patientMriFile = "sift-a.txt";
      form.baselineFile = "sift-b.txt";
      form.Button6Click();
      break;
    }
    case 7: {
      putPair("setup101.map", "setup102b.map", input);
      pelk::TForm102 form;
      form.setRRA2Files("setup101.map", "setup102b.map");
      form.performRRA2();
      break;
    }
    case 8: {
      putPair("setup101.map1", "setup102b.map1", input);
      pelk::TForm104 form;
      pelk::Picture view;
      form.performMCHS("setup101.map1", "setup102b.map1", view);
      break;
    }
    case 9: {
      putPair("setup101.map", "setup102b.map", input);
      pelk::TForm104 form;
      pelk::Picture view;
      pelk::paintFalseColor(form, view, "setup101.map", "setup102b.map");
      break;
    }
    case 10: {
      putPair("setup101.map", "setup102b.map", input);
      pelk::TForm104 form;
      form.Button1Click();
      break;
    }
    default:
      putPair("setup101.map", "unused.txt", input);
      pelk::map1Sql("setup101.map", "patient1", "test1");
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelk::fuzz::enterScratchFolder();
  try {
    run(pelk::fuzz::parseCase(data, size));
  } catch (const pelk::IoError&) {
  }
  return 0;
}
