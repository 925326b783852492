#pragma once
#include <string>

#include "studies/study_run.h"

namespace pelk {

// study.json: the registration of each follow-up, the matched slice and the volumetric
// progression ("verdict": null with one follow-up).
std::string studyJson(const StudyRequest& request, const StudyResult& result);

// study.txt: the same as a readable account, one line per fact, LF line ends.
std::string studyText(const StudyRequest& request, const StudyResult& result);

}  // namespace pelk
