#include "bench/pipeline_inputs.h"

#include "common/picture.h"
#include "maps/tform103.h"
#include "maps/tform1031.h"
#include "maps/tform104.h"
#include "maps/tform120.h"
#include "profiles/tform101.h"
#include "regions/tform130.h"
#include "regions/tform150.h"
#include "regions/tform170.h"

namespace pelk::bench {

void makeProfiles(const ScanSet& scans) {
  TForm101 profiles;
  profiles.SetupParam1(scans.standard, scans.reference);
  profiles.MakeParam1Files();
}

void makeMaps(const ScanSet& scans) {
  TForm103 maps;
  maps.makeMap2({scans.standard, scans.reference}, {"setup101.map", "setup102b.map"});
}

void makeMap1s(const ScanSet& scans) {
  TForm1031 maps;
  maps.setFilenames2(scans.standard, scans.reference);
  maps.makeMap();
}

void makeMchsResults(const ScanSet& scans) {
  makeMap1s(scans);
  Picture view;
  TForm104 mchs;
  mchs.setFileNames("setup101.map1", "setup102b.map1");
  mchs.performMCHS("setup101.map1", "setup102b.map1", view);
}

void makeDiffImage(const ScanSet& scans) {
  TForm120 diff;
  diff.setFileNames(scans.standard, scans.reference);
  diff.doDiffBmp();
}

void makeClusterSummaries(const ScanSet& scans) {
  TForm120 diff;
  diff.setFileNames(scans.standard, scans.third);
  diff.doDiffBmp();
  TForm130 finder;
  finder.setFileNames("diffbmp.bmp", "cluster2.db.txt");
  finder.doCluster();
  makeDiffImage(scans);
  finder.setFileNames("diffbmp.bmp", "cluster1.db.txt");
  finder.doCluster();
}

void makeZchs(const ScanSet& scans) {
  makeProfiles(scans);
  TForm170 zchs;
  zchs.doZchs("setup101.param1", "setup101b.param1");
}

void makeTpa(const ScanSet& scans) {
  makeClusterSummaries(scans);
  TForm150 tpa;
  tpa.setClusterFileNames("cluster1.db.txt.dat", "cluster2.db.txt.dat");
  tpa.doTumorAnalysis();
}

}  // namespace pelk::bench
