#include "bench/bench_case.h"
#include "bench/picture_lines.h"
#include "bench/pipeline_inputs.h"
#include "common/picture.h"
#include "maps/tform103.h"
#include "maps/tform1031.h"
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

void profilesByName(const ScanSet& scans, Lines* lines) {
  TForm101 profiles;
  profiles.MakeParam2Files({scans.standard, scans.reference},
                           {"setup101.param1", "setup101b.param1"});
  if (lines) *lines = profiles.Memo1.lines;
}

void profilesByJobList(const ScanSet&, Lines* lines) {
  TForm101 profiles;
  profiles.MakeParam1Files();
  if (lines) *lines = profiles.Memo1.lines;
}

void mapPair(const ScanSet& scans, Lines* lines) {
  TForm103 maps;
  maps.makeMap2({scans.standard, scans.reference}, {"setup101.map", "setup102b.map"});
  if (lines) *lines = maps.Memo1.lines;
}

void map1Pair(const ScanSet& scans, Lines* lines) {
  TForm1031 maps;
  maps.setFilenames2(scans.standard, scans.reference);
  maps.makeMap();
  if (lines) *lines = maps.Memo1.lines;
}

void rra1(const ScanSet&, Lines* lines) {
  TForm102 rank;
  rank.performRRA1("setup101.param1", "setup101b.param1");
  if (lines) *lines = rank.Memo1.lines;
}

void rra2(const ScanSet&, Lines* lines) {
  TForm102 rank;
  rank.setRRA2Files("setup101.map", "setup102b.map");
  rank.performRRA2();
  if (lines) *lines = rank.Memo1.lines;
}

void mchs(const ScanSet&, Lines* lines) {
  Picture view;
  TForm104 module;
  module.setFileNames("setup101.map1", "setup102b.map1");
  module.performMCHS("setup101.map1", "setup102b.map1", view);
  if (!lines) return;
  *lines = module.Memo1.lines;
  Lines pixels = pictureLines(view);
  lines->insert(lines->end(), pixels.begin(), pixels.end());
}

void diffImage(const ScanSet& scans, Lines* lines) {
  TForm120 diff;
  diff.setFileNames(scans.standard, scans.reference);
  diff.doDiffBmp();
  if (lines) *lines = diff.Memo1.lines;
}

void gateFinder(const ScanSet&, Lines* lines) {
  TForm130 finder;
  finder.setFileNames("diffbmp.bmp", "cluster1.db.txt");
  finder.doCluster();
  if (lines) *lines = finder.Memo1.lines;
}

void zchs(const ScanSet&, Lines* lines) {
  TForm170 zonal;
  zonal.doZchs("setup101.param1", "setup101b.param1");
  if (lines) *lines = zonal.Memo1.lines;
}

void tpa(const ScanSet&, Lines* lines) {
  TForm150 progression;
  progression.setClusterFileNames("cluster1.db.txt.dat", "cluster2.db.txt.dat");
  progression.doTumorAnalysis();
  if (lines) *lines = progression.Memo1.lines;
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
