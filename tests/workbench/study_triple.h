#pragma once

namespace pelk::test {

// Writes into the current folder a small phantom head as "base.nii.gz" and two follow-ups,
// "f1.nii.gz" with a 5 mm lesion and "f2.nii.gz" with it grown to 7 mm, each moved as a patient
// lies differently on another day: a study that takes a second or two.
void writeStudyTriple();

}  // namespace pelk::test
