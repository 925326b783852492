#pragma once

namespace pelk {

// The fixed names of the files the modules hand each other in the working folder. One module
// writes a file under its name and the next reads it back, so a name belongs here once and
// nowhere else. The names are part of what users and their scripts see: never change one.

// Histogram profiles (TForm101), read by the rank analysis and the zonal highlight system.
inline constexpr char kProfileJobList[] = "vhist3.dat";
inline constexpr char kProfileDatabase[] = "vhist3.db.txt";
inline constexpr char kStandardProfile[] = "setup101.param1";
inline constexpr char kReferenceProfile[] = "setup101b.param1";

// Intensity maps (TForm103 for the rank analysis, TForm1031 for the highlight system).
inline constexpr char kMapJobList[] = "vmap1.dat";
inline constexpr char kStandardMap[] = "setup101.map";
inline constexpr char kReferenceMap[] = "setup102b.map";
inline constexpr char kStandardHighlightMap[] = "setup101.map1";
inline constexpr char kReferenceHighlightMap[] = "setup102b.map1";

// The difference image (TForm120), read by the gate finder.
inline constexpr char kDifferenceImage[] = "diffbmp.bmp";

// The gate finder's lists (TForm130) and summaries, read by the progression analysis.
inline constexpr char kClusterList1[] = "cluster1.db.txt";
inline constexpr char kClusterSummary1[] = "cluster1.db.txt.dat";
inline constexpr char kClusterList2[] = "cluster2.db.txt";
inline constexpr char kClusterSummary2[] = "cluster2.db.txt.dat";
inline constexpr char kGatesList[] = "gates.db.txt";  // the finder's own "Start"
inline constexpr char kSifterDatabase[] = "sifter.db.txt";

// Result files of the analyses, read by the SQL export.
inline constexpr char kHighlightResults[] = "mchs-results.dat";
inline constexpr char kZonalResults[] = "zchs.dat";
inline constexpr char kProgressionResults[] = "tpa.dat";

// The SQL scripts, one per kind of result.
inline constexpr char kParam1Script[] = "param1.sql";
inline constexpr char kMap1Script[] = "map1.sql";
inline constexpr char kRra1Script[] = "rra1.sql";
inline constexpr char kRra2Script[] = "rra2.sql";
inline constexpr char kMchsScript[] = "mchs.sql";
inline constexpr char kZchsScript[] = "zchs.sql";
inline constexpr char kCluster1Script[] = "cluster1.sql";
inline constexpr char kTpaScript[] = "tpa.sql";
inline constexpr char kDiffbmpScript[] = "diffbmp.sql";

// The picture the workbench shows at start-up.
inline constexpr char kStartImage[] = "test101.bmp";

}  // namespace pelk
