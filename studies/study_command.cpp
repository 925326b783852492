#include "studies/study_command.h"

#include <new>

#include <CLI/CLI.hpp>

#include "common/word_arguments.h"

#include "common/io_error.h"
#include "studies/study_report.h"
#include "studies/study_run.h"

namespace pelk {

int runStudyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const StudyEnded& ended) {
  CLI::App app(
      "Compare whole 3-D studies: register each follow-up to the baseline, cut the same slice "
      "of all three as nominal bitmaps and give the volumetric verdict.",
      "study");
  StudyRequest request;
  std::optional<std::int64_t> slice;
  app.add_option("--baseline", request.baseline,
                 "NIfTI .nii / .nii.gz volume, DICOM series folder or multi-frame DICOM file")
      ->required();
  app.add_option("--followup", request.followUps, "a follow-up study, given once or twice")
      ->required();
  app.add_option("--out", request.outDir, "folder for the results (created if missing)")
      ->required();
  app.add_option("--slice", slice,
                 "0-based axial slice of the baseline; default: through the largest change");
  app.add_option("--patient", request.patient, "patient, as in the test information");
  app.add_option("--test", request.test, "test");
  app.add_option("--hospital", request.hospital, "hospital");
  app.add_option("--date", request.date, "date");
  auto* store = app.add_option("--store", request.store,
                               "record the run in this store: sqlite:PATH or postgresql://...");
  app.add_flag("--no-store", request.noStore, "record nothing in the results store")
      ->excludes(store);

  if (auto ended = parseWordArguments(app, args, "study", out, err, [&] {
        if (request.followUps.size() > 2)
          throw CLI::ValidationError("--followup", "at most two follow-ups can be compared");
      }))
    return *ended;
  request.slice = slice;

  std::string failure;
  try {
    const StudyResult result = analyseStudy(request);
    writeStudyOutputs(request, result);
    out << studyText(request, result);
    out.flush();
  } catch (const IoError& e) {
    failure = e.what();
  } catch (const std::bad_alloc&) {
    failure = "not enough memory for these studies";
  }
  if (!failure.empty()) err << "error: study: " << failure << '\n';
  if (ended) {
    if (auto warning = ended(request, failure.empty(), failure))
      err << "pelk40-cli: warning: " << *warning << '\n';
  }
  return failure.empty() ? 0 : 1;
}

}  // namespace pelk
