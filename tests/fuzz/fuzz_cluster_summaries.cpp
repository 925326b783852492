// The readers of cluster summary files: tumour progression on two of them and the cluster
// script on one, against counts of any size or sign, garbage tokens and files cut short.
#include "common/io_error.h"
#include "regions/tform150.h"
#include "sqlexport/sql_export.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelk::fuzz::enterScratchFolder();
  const pelk::fuzz::Case input = pelk::fuzz::parseCase(data, size);
  pelk::fuzz::put("cluster1.db.txt.dat", input.first);
  pelk::fuzz::put("cluster2.db.txt.dat", input.second);
  try {
    if (input.selector % 2 == 0) {
      pelk::TForm150 form;
      form.setClusterFileNames("cluster1.db.txt.dat", "cluster2.db.txt.dat");
      form.doTumorAnalysis();
    } else {
      pelk::cluster1Sql("cluster1.db.txt.dat", "patient1", "test1");
    }
  } catch (const pelk::IoError&) {
  }
  return 0;
}
