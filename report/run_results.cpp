#include "report/run_results.h"

#include <exception>
#include <system_error>

#include "common/file_io.h"

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
  r.rra1 = loadResult(folder, "rra1.sql", parseRankScript);
  r.rra2 = loadResult(folder, "rra2.sql", parseRankScript);
  r.profileStd = loadResult(folder, "setup101.param1", parseProfile);
  r.profileRef = loadResult(folder, "setup101b.param1", parseProfile);
  r.mchs = loadResult(folder, "mchs-results.dat", parseMchsResults);
  r.zchs = loadResult(folder, "zchs.dat", parseZchs);
  r.clusters1 = loadResult(folder, "cluster1.db.txt.dat", parseClusters);
  r.clusters2 = loadResult(folder, "cluster2.db.txt.dat", parseClusters);
  r.legacy = loadResult(folder, "tpa.dat", parseLegacyProgression);
  r.robust = loadResult(folder, "progression.json", parseRobustProgression);
  r.study = loadResult(folder, "study.json", parseStudy);
  return r;
}

}  // namespace pelk
