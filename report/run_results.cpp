#include "report/run_results.h"

#include <exception>
#include <system_error>

#include "common/file_io.h"
#include "common/fixed_files.h"

namespace pelk {

template <class T>
Loaded<T> loadResult(const std::filesystem::path& folder, const std::string& name,
                     T (*parse)(const std::string&)) {
  Loaded<T> loaded;
  loaded.file = name;
  const std::filesystem::path path = folder / name;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return loaded;
  loaded.present = true;
  try {
    const std::string bytes = readWholeFile(path.string());
    if (bytes.empty()) {
      loaded.problem = name + " is empty";
      return loaded;
    }
    loaded.data = parse(bytes);
  } catch (const std::exception& e) {
    loaded.problem = name + ": " + e.what();
  }
  return loaded;
}

ReportedRun loadRunResults(const std::filesystem::path& folder) {
  ReportedRun r;
  r.rra1 = loadResult(folder, kRra1Script, parseRankScript);
  r.rra2 = loadResult(folder, kRra2Script, parseRankScript);
  r.profileStd = loadResult(folder, kStandardProfile, parseProfile);
  r.profileRef = loadResult(folder, kReferenceProfile, parseProfile);
  r.mchs = loadResult(folder, kHighlightResults, parseMchsResults);
  r.zchs = loadResult(folder, kZonalResults, parseZchs);
  r.clusters1 = loadResult(folder, kClusterSummary1, parseClusters);
  r.clusters2 = loadResult(folder, kClusterSummary2, parseClusters);
  r.legacy = loadResult(folder, kProgressionResults, parseLegacyProgression);
  r.robust = loadResult(folder, "progression.json", parseRobustProgression);
  r.study = loadResult(folder, "study.json", parseStudy);
  return r;
}

}  // namespace pelk
