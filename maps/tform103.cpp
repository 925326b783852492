#include "maps/tform103.h"

#include "maps/coarse_map_pass.h"
#include "maps/map_job_list.h"
#include "maps/map_pass.h"

namespace pelk {
void TForm103::setFileNames(const std::string& standardName, const std::string& referenceName) {
  writeMapJobList(standardName, referenceName);
}

void TForm103::makeMap2(FileNames10 inputs, FileNames10 outputs) {
  for (int k = 0; k < 2; ++k) {
    Memo1.add("Processing File: " + inputs[k]);
    runMapPass(inputs[k], outputs[k], Memo1);
  }
}

void TForm103::makeMap() {
  runMapJobList(Memo1, [this](const std::string& bitmap, const std::string& output) {
    runMapPass(bitmap, output, Memo1);
  });
}

void TForm103::Button1Click() {
  runMapJobList(Memo1, [this](const std::string& bitmap, const std::string& output) {
    runCoarseMapPass(bitmap, output, Memo1);
  });
}

// The job list is read whole and released by the run that reads it, so no file is left open
// for closing.
void TForm103::closeApp() {}

}  // namespace pelk
