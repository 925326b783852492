#include "common/file_io.h"
#include "progression/progression_picture.h"
#include "progression/progression_report.h"
#include "progression/robust_tpa.h"

namespace pelk {

void writeRobustTpaOutputs(const RobustTpaResult& result, const std::string& folder) {
  const std::string prefix = folder.empty() || folder == "." ? "" : folder + "/";
  writeWholeFile(prefix + "progression.json", progressionJson(result));
  writeWholeFile(prefix + "progression.txt", progressionText(result));
  writeWholeFile(prefix + "progression.bmp",
                 bitmap24Bytes(result.width, result.height, progressionPicture(result),
                               result.mmPerPixelX, result.mmPerPixelY));
}

}  // namespace pelk
