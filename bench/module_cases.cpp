#include "bench/bench_case.h"
#include "bench/pipeline_inputs.h"
#include "common/picture.h"
#include "maps/tform103.h"
#include "maps/tform104.h"
#include "maps/tform120.h"
#include "profiles/tform101.h"
#include "profiles/tform102.h"
#include "regions/tform130.h"
#include "regions/tform150.h"
#include "regions/tform170.h"

namespace pelk::bench {
namespace {

void nothing(const ScanSet&) {}

Lines profilesByName(const ScanSet& scans) {
  TForm101 profiles;
  profiles.MakeParam2Files({scans.standard, scans.reference}, {"setup101.param1", "setup101b.param1"});
  return profiles.Memo1.lines;
}

Lines profilesByJobList(const ScanSet&) {
  TForm101 profiles;
  profiles.MakeParam1Files();
  return profiles.Memo1.lines;
}

Lines mapPair(const ScanSet& scans) {
  TForm103 maps;
  maps.makeMap2({scans.standard, scans.reference}, {"setup101.map", "setup102b.map"});
  return maps.Memo1.lines;
}

Lines map1Pair(const ScanSet& scans) {
  TForm1031 maps;
  maps.setFilenames2(scans.standard, scans.reference);
  maps.makeMap();
  return maps.Memo1.lines;
}

Lines rra1(const ScanSet&) {
  TForm102 rank;
  rank.performRRA1("setup101.param1", "setup101b.param1");
  return rank.Memo1.lines;
}

Lines rra2(const ScanSet&) {
  TForm102 rank;
  rank.setRRA2Files("setup101.map", "setup102b.map");
  rank.performRRA2();
  return rank.Memo1.lines;
}

Lines pictureLines(const Picture& view) {
  // The highlights drawn are output too: one line per picture row, as hex colours.
  Lines lines;
  static constexpr char kHex[] = "0123456789abcdef";
  for (int y = 0; y < view.height(); ++y) {
    std::string row;
    row.reserve(static_cast<std::size_t>(view.width()) * 6);
    for (int x = 0; x < view.width(); ++x) {
      const std::uint32_t c = view.pixel(x, y);
      for (int shift = 20; shift >= 0; shift -= 4) row.push_back(kHex[(c >> shift) & 0xF]);
    }
    lines.push_back(std::move(row));
  }
  return lines;
}

Lines mchs(const ScanSet&) {
  Picture view;
  TForm104 module;
  module.setFileNames("setup101.map1", "setup102b.map1");
  module.performMCHS("setup101.map1", "setup102b.map1", view);
  Lines lines = module.Memo1.lines;
  Lines pixels = pictureLines(view);
  lines.insert(lines.end(), pixels.begin(), pixels.end());
  return lines;
}

Lines diffImage(const ScanSet& scans) {
  TForm120 diff;
  diff.setFileNames(scans.standard, scans.reference);
  diff.doDiffBmp();
  return diff.Memo1.lines;
}

Lines gateFinder(const ScanSet&) {
  TForm130 finder;
  finder.setFileNames("diffbmp.bmp", "cluster1.db.txt");
  finder.doCluster();
  return finder.Memo1.lines;
}

Lines zchs(const ScanSet&) {
  TForm170 zonal;
  zonal.doZchs("setup101.param1", "setup101b.param1");
  return zonal.Memo1.lines;
}

Lines tpa(const ScanSet&) {
  TForm150 progression;
  progression.setClusterFileNames("cluster1.db.txt.dat", "cluster2.db.txt.dat");
  progression.doTumorAnalysis();
  return progression.Memo1.lines;
}

}  // namespace

void addModuleCases() {
  addCase({"profiles: MakeParam2Files", nothing, profilesByName});
  addCase({"profiles: MakeParam1Files", makeProfiles, profilesByJobList});
  addCase({"maps: makeMap2", nothing, mapPair});
  addCase({"maps: map1 makeMap", nothing, map1Pair});
  addCase({"RRA-1", makeProfiles, rra1});
  addCase({"RRA-2", makeMaps, rra2});
  addCase({"MCHS", makeMap1s, mchs});
  addCase({"difference image", nothing, diffImage});
  addCase({"gate finder", makeDiffImage, gateFinder});
  addCase({"ZCHS", makeProfiles, zchs});
  addCase({"TPA", makeClusterSummaries, tpa});
}

}  // namespace pelk::bench
