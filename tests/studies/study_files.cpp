#include "tests/studies/study_files.h"

#include "studies/nifti_writer.h"
#include "tests/support/files.h"
#include "tools/validate-studies/study_simulation.h"

namespace pelk::test {

StudyVolume smallHead() { return simulation::phantomHead({48, 48, 32}, {2.0, 2.0, 2.0}); }

void writeStudy(const std::string& path, const StudyVolume& volume) {
  const bool gz = path.size() > 3 && path.compare(path.size() - 3, 3, ".gz") == 0;
  writeFile(path, gz ? niftiGzBytes(volume) : niftiBytes(volume));
}

}  // namespace pelk::test
