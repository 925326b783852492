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
        CommandInputs info;
        info.patient = request.patient;
        info.test = request.test;
        info.hospital = request.hospital;
        info.date = request.date;
        recorder.begin("study",
                       studyInputs(info, request.baseline, request.followUps, request.outDir),
                       std::move(startedAt));
        return recorder.finish(completed, error);
      });
}

}  // namespace pelk
