#include "tests/workbench/study_triple.h"

#include "studies/nifti_writer.h"
#include "tests/support/files.h"
#include "tools/validate-studies/study_simulation.h"

namespace pelk::test {
namespace {

void writeFollowUp(const char* path, double radiusMm, double angleDeg) {
  StudyVolume v = simulation::phantomHead({48, 48, 32}, {2.0, 2.0, 2.0});
  simulation::addLesions(v, {{v.pointMm(20, 22, 16), {radiusMm, radiusMm, radiusMm}, 80}});
  simulation::Motion motion;
  motion.axis = {1.0, 0.5, 0.2};
  motion.angleDeg = angleDeg;
  motion.shiftMm = {2.0, 1.0, -2.0};
  writeFile(path, niftiGzBytes(simulation::moveContent(v, motion)));
}

}  // namespace

void writeStudyTriple() {
  writeFile("base.nii.gz", niftiGzBytes(simulation::phantomHead({48, 48, 32}, {2.0, 2.0, 2.0})));
  writeFollowUp("f1.nii.gz", 5, 3.0);
  writeFollowUp("f2.nii.gz", 7, -4.0);
}

}  // namespace pelk::test
