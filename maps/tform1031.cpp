#include "maps/tform1031.h"

#include "common/fixed_files.h"
#include "maps/coarse_map_pass.h"
#include "maps/map_job_list.h"
#include "maps/map_pass.h"

namespace pelk {
void TForm1031::setFileNames(const std::string& standardName, const std::string& referenceName) {
  writeMapJobList(standardName, referenceName);
}

void TForm1031::setFilenames2(const std::string& standardName, const std::string& referenceName) {
  mapInputs = {standardName, referenceName};
  mapOutputs = {kStandardHighlightMap, kReferenceHighlightMap};
}

void TForm1031::makeMap() {
  for (int k = 0; k < 2; ++k) runMapPass(mapInputs[k], mapOutputs[k], Memo1);
  Memo1.add("Done");
}

void TForm1031::Button1Click() {
  runMapJobList(Memo1, [this](const std::string& bitmap, const std::string& output) {
    runCoarseMapPass(bitmap, output, Memo1);
  });
}

// As in TForm103: the job list is never held open between operations.
void TForm1031::closeApp() {}

}  // namespace pelk
