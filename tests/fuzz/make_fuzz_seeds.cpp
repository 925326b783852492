// Writes the seed corpus of every fuzz target: valid files made by the system's own producers
// from small generated bitmaps, packed the way each target reads its input. Nothing binary is
// kept in the repository; scripts/test runs this before the fuzzers.
//
//   make_fuzz_seeds OUTDIR    creates OUTDIR/<target>/seed-NN for every target
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "common/io_error.h"
#include "common/job_list.h"
#include "common/picture.h"
#include "maps/tform103.h"
#include "maps/tform104.h"
#include "profiles/tform101.h"
#include "regions/tform130.h"
#include "regions/tform150.h"
#include "regions/tform170.h"
#include "tests/fuzz/fuzz_bitmaps.h"
#include "tests/fuzz/fuzz_support.h"

namespace fs = std::filesystem;
using pelk::fuzz::greyBitmap;
using pelk::fuzz::makeCase;

namespace {

std::map<std::string, std::vector<std::string>> seeds;

void seed(const std::string& target, std::string bytes) {
  seeds[target].push_back(std::move(bytes));
}

// A map as the map pass writes it is 513 x 513 sums; its readers use the first 101 or so of
// each of the first rows. The seed keeps the two heading lines and 104 rows of 102 sums, one
// blank apart, which every map reader takes exactly as it takes the full file.
std::string trimmedMap(const std::string& map) {
  std::istringstream in(map);
  std::string out;
  std::string line;
  for (int n = 0; n < 106 && std::getline(in, line); ++n) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (n < 2) {
      out += line + "\r\n";
      continue;
    }
    std::istringstream row(line);
    std::string value;
    for (int k = 0; k < 102 && row >> value; ++k) out += (k ? " " : "") + value;
    out += "\r\n";
  }
  return out;
}

// The first `count` lines of a text, line ends included.
std::string firstLines(const std::string& text, int count) {
  std::size_t end = 0;
  for (int n = 0; n < count && end != std::string::npos; ++n) {
    end = text.find('\n', end);
    if (end != std::string::npos) ++end;
  }
  return end == std::string::npos ? text : text.substr(0, end);
}

void makeSeeds() {
  const std::string small = greyBitmap(40, 30);
  const std::string square = greyBitmap(64, 64);
  const std::string other = greyBitmap(60, 55, 3);
  const std::string tall = greyBitmap(12, 90, 5);
  const std::string mapStd = greyBitmap(110, 105);
  const std::string mapRef = greyBitmap(104, 102, 4);

  // The job lists and the number reader.
  pelk::TForm101 profiles;
  profiles.SetupParam1("a.bmp", "b.bmp");
  const std::string jobList = pelk::readWholeFile("vhist3.dat");
  pelk::TForm103 maps;
  maps.setFileNames("a.bmp", "b.bmp");
  const std::string mapJobList = pelk::readWholeFile("vmap1.dat");
  seed("fuzz_job_lists",
       makeCase(0, "     100       5\r\n       0      12      40      11    3600\r\n"));
  seed("fuzz_job_lists", makeCase(0, "12 -3 4.5e2 +7\r\n 1.250  x9\r\n\r\n-0.5\r"));
  seed("fuzz_job_lists", makeCase(1, jobList));
  seed("fuzz_job_lists", makeCase(1, mapJobList));
  seed("fuzz_job_lists", makeCase(2, jobList));
  seed("fuzz_job_lists", makeCase(3, jobList));

  // Bitmaps for the region scans.
  seed("fuzz_gate_finder", makeCase(0, small));
  seed("fuzz_gate_finder", makeCase(0, square));
  seed("fuzz_gate_finder", makeCase(1, tall));
  seed("fuzz_gate_finder", makeCase(2, square));
  seed("fuzz_gate_finder", makeCase(2, other));

  // Cluster summaries as the gate finder writes them.
  pelk::writeWholeFile("one.bmp", square);
  pelk::writeWholeFile("two.bmp", other);
  pelk::TForm130 finder;
  finder.setFileNames("one.bmp", "cluster1.db.txt");
  finder.doCluster();
  finder.setFileNames("two.bmp", "cluster2.db.txt");
  finder.doCluster();
  const std::string cluster1 = pelk::readWholeFile("cluster1.db.txt.dat");
  const std::string cluster2 = pelk::readWholeFile("cluster2.db.txt.dat");
  seed("fuzz_cluster_summaries", makeCase(0, cluster1, cluster2));
  seed("fuzz_cluster_summaries", makeCase(0, "0\r\n\r\n", cluster1));
  seed("fuzz_cluster_summaries", makeCase(1, cluster1));
  seed("fuzz_cluster_summaries", makeCase(1, cluster2));

  // Bitmaps for the readers that take a file as it comes.
  seed("fuzz_bitmap_readers", makeCase(0, square));
  seed("fuzz_bitmap_readers", makeCase(1, square, other));
  seed("fuzz_bitmap_readers", makeCase(2, small, greyBitmap(40, 30, 9)));
  seed("fuzz_bitmap_readers", makeCase(3, square));
  seed("fuzz_bitmap_readers", makeCase(4, small));

  // Bitmap pairs for the map passes; the coarse pass needs a width of 52 or more.
  for (unsigned selector = 0; selector < 4; ++selector)
    seed("fuzz_map_pass", makeCase(selector, mapStd, mapRef));
  seed("fuzz_map_pass",
       makeCase(4,
                std::string(pelk::kJobListComment) +
                    "\r\n512;512;ref.bmp;patient-1;set-1;out.map1\r\n9999;9999;\r\n",
                mapRef));

  // The system's own text files.
  pelk::writeWholeFile("a.bmp", square);
  pelk::writeWholeFile("b.bmp", other);
  pelk::TForm101 builder;
  builder.MakeParam2Files({"a.bmp", "b.bmp"}, {"setup101.param1", "setup101b.param1"});
  const std::string profile1 = pelk::readWholeFile("setup101.param1");
  const std::string profile2 = pelk::readWholeFile("setup101b.param1");
  pelk::TForm170 zonal;
  zonal.doZchs("setup101.param1", "setup101b.param1");
  const std::string zchs = pelk::readWholeFile("zchs.dat");
  pelk::TForm150 progression;
  progression.setClusterFileNames("cluster1.db.txt.dat", "cluster2.db.txt.dat");
  progression.doTumorAnalysis();
  const std::string tpa = pelk::readWholeFile("tpa.dat");
  pelk::TForm103 mapper;
  mapper.makeMap2({"a.bmp", "b.bmp"}, {"setup101.map", "setup102b.map"});
  const std::string map1 = trimmedMap(pelk::readWholeFile("setup101.map"));
  const std::string map2 = trimmedMap(pelk::readWholeFile("setup102b.map"));
  pelk::writeWholeFile("setup101.map1", map1);
  pelk::writeWholeFile("setup102b.map1", map2);
  pelk::TForm104 mchs;
  pelk::Picture view;
  mchs.performMCHS("setup101.map1", "setup102b.map1", view);
  const std::string mchsResults = firstLines(pelk::readWholeFile("mchs-results.dat"), 60);
  const std::string gates = pelk::readWholeFile("cluster1.db.txt");
  const std::string otherGates = pelk::readWholeFile("cluster2.db.txt");

  seed("fuzz_result_files", makeCase(0, profile1, profile2));
  seed("fuzz_result_files", makeCase(1, profile1, profile2));
  seed("fuzz_result_files", makeCase(2, profile1));
  seed("fuzz_result_files", makeCase(3, zchs));
  seed("fuzz_result_files", makeCase(4, tpa));
  seed("fuzz_result_files", makeCase(5, mchsResults));
  seed("fuzz_result_files", makeCase(6, gates, otherGates));
  for (unsigned selector = 7; selector <= 11; ++selector)
    seed("fuzz_result_files", makeCase(selector, map1, map2));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds OUTDIR\n");
    return 2;
  }
  try {
    const fs::path out = fs::absolute(argv[1]);
    const fs::path work = out / "work";
    fs::create_directories(work);
    const fs::path previous = fs::current_path();
    fs::current_path(work);
    makeSeeds();
    fs::current_path(previous);
    fs::remove_all(work);
    for (const auto& [target, list] : seeds) {
      const fs::path dir = out / target;
      fs::create_directories(dir);
      for (std::size_t i = 0; i < list.size(); ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "seed-%02zu", i);
        pelk::writeWholeFile((dir / name).string(), list[i]);
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_fuzz_seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
