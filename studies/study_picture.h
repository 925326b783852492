#pragma once
#include <vector>

#include "common/picture.h"
#include "importers/nominal_resample.h"
#include "studies/study_run.h"

namespace pelk {

// The matched slices side by side (baseline, follow-up 1, follow-up 2), change in colour: red
// for significant positive change (with two follow-ups: growth since follow-up 1), orange where
// a lesion of follow-up 1 is still there, blue where it shrank away; underneath, each
// registration as a checkerboard of baseline and registered follow-up, where a misalignment shows
// as broken edges at the squares' borders. `slices` are the nominal pictures of baseline and
// follow-ups in that order.
Picture studyPicture(const StudyResult& result, const std::vector<NominalPicture>& slices);

}  // namespace pelk
