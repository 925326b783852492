#include <string>
#include <utility>

#include "common/exchange_sort.h"
#include "common/file_io.h"
#include "common/format.h"
#include "common/region_scan.h"
#include "profiles/tform102.h"

namespace pelk {
namespace {

// FG-1 skips 1001 bytes after the 24 header bytes, so its pixels start 53 bytes before the
// gate finder's.
constexpr std::size_t kPixelStart = 24 + 1001;
constexpr double kSignificant = 150.0;
const std::string kRule(53, '=');

// Largest area first; equal areas brightest first.
void sortByAreaThenIntensity(RegionTable& table) {
  exchangeSort(
      1, table.count,
      [&table](int j, int i) {
        const ScanRegion& rj = table.entries[j];
        const ScanRegion& ri = table.entries[i];
        return rj.area > ri.area || (rj.area == ri.area && rj.intensity > ri.intensity);
      },
      [&table](int i, int j) { std::swap(table.entries[i], table.entries[j]); });
}

std::string regionLogLine(const ScanRegion& r, const char* mark) {
  std::string s = regionLogPrefix(r);
  s += mark;
  return s;
}

void appendOutputLine(std::string& out, const TForm102& form, const ScanRegion& r) {
  appendRegionRecord(out, form.patientName, form.patientName, form.patientId, r);
  out += ";SIGNIFICANT\r\n";
}

// The closing report lists only the areas that reach 150; one of exactly 150 is written out
// and marked significant above, yet called "not significant" here.
void appendAreaReport(ModuleLog& log, const RegionTable& table, const std::string& comments) {
  log.addEmpty();
  log.add(kRule);
  log.add("There are " + intText(table.count) + " cluster(s) found");
  int listed = 0;
  for (int k = 1; k <= table.count; ++k) {
    const ScanRegion& r = table.entries[k];
    if (r.intensity < kSignificant) continue;
    ++listed;
    const char* word = r.intensity > kSignificant ? "SIGNIFICANT" : "not significant";
    log.add("Cluster " + intText(k, 5) + " has a mean intensity of " + realText(r.intensity, 8, 3) +
            " which is " + word + ".");
    log.add("Also, it is located at (x,y)= " + intText(r.x1, 5) + ":" + intText(r.y1, 5) +
            " and has an area of " + intText(r.area, 5));
    log.addEmpty();
  }
  log.add(comments);
  log.add("Record(s) found " + intText(listed, 5));
  log.add(kRule);
}

}  // namespace

void TForm102::Button2Click() {
  RegionGrid& grid = *state_->fg1Grid;
  RegionTable& table = state_->fg1Table;
  const BmpSize size = loadRegionGrid(patientMriFile, kPixelStart, RowOrder::Stored, grid, Memo1);
  scanRegions(grid, size, table,
              [this](int a, int b) { Memo1.add("Found Area" + intText(a) + ":" + intText(b)); });
  Memo1.add("Areas Found = " + intText(table.count));
  Memo1.add("Program Done");
  sortByAreaThenIntensity(table);

  OutFile out(outputFile);
  for (int k = 1; k <= table.count; ++k) {
    const ScanRegion& r = table.entries[k];
    const bool significant = r.intensity >= kSignificant;
    Memo1.add(regionLogLine(r, significant ? "SIGNIFICANT" : "not significant"));
    if (significant) appendOutputLine(out.text(), *this, r);
  }
  appendAreaReport(Memo1, table, comments);
  out.close();
}

}  // namespace pelk
