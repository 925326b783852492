#include "app/cli/imaging/study_recording.h"

#include "store/run_recorder.h"
#include "studies/study_command.h"

namespace pelk {

int runRecordedStudy(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string startedAt = utcNow();
  return runStudyCommand(
      args, out, err,
      [&](const StudyRequest& request, bool completed,
          const std::string& error) -> std::optional<std::string> {
        RunRecorder recorder(chooseStore(request.store, request.noStore), PELK_VERSION);
        const auto& f = request.followUps;
        recorder.begin(
            "study",
            {request.baseline, f.empty() ? "" : f[0], f.size() > 1 ? f[1] : "", request.patient,
             request.test, request.hospital, request.date, request.outDir},
            std::move(startedAt));
        return recorder.finish(completed, error);
      });
}

}  // namespace pelk
