#pragma once
#include "bench/scan_set.h"

namespace pelk::bench {

// The intermediate files each operation reads, produced by the modules themselves from the
// generated scans, so every benchmark reads what the system would have left.
void makeProfiles(const ScanSet& scans);     // vhist3.dat, setup101.param1, setup101b.param1
void makeMaps(const ScanSet& scans);         // setup101.map, setup102b.map
void makeMap1s(const ScanSet& scans);        // setup101.map1, setup102b.map1
void makeMchsResults(const ScanSet& scans);  // mchs-results.dat (and the .map1 files)
void makeDiffImage(const ScanSet& scans);    // diffbmp.bmp of the standard against the reference
void makeClusterSummaries(const ScanSet& scans);  // cluster1.db.txt(.dat), cluster2.db.txt(.dat)
void makeZchs(const ScanSet& scans);              // zchs.dat (and the profiles)
void makeTpa(const ScanSet& scans);               // tpa.dat (and the cluster summaries)

}  // namespace pelk::bench
