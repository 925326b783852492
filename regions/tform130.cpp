#include "regions/tform130.h"

#include <optional>
#include <utility>
#include <vector>

#include "common/exchange_sort_order.h"
#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/format.h"
#include "regions/gate_coordinates.h"

namespace pelk {
namespace {

// Only the summary file's columns have no separator between them.
constexpr int kColumn = 5;

// Largest area first, ties where the finder's exchange sort has always left them; the order is
// worked out rather than exchanged step by step.
void sortByArea(RegionTable& table) {
  std::vector<int> areas(static_cast<std::size_t>(table.count));
  for (int k = 1; k <= table.count; ++k)
    areas[static_cast<std::size_t>(k - 1)] = table.entries[k].area;
  const std::vector<int> order = exchangeSortOrder(areas);
  // Only the filled entries are copied: the whole table is 32 KB, eight stack pages a process
  // would touch afresh.
  const std::vector<ScanRegion> unsorted(table.entries.begin() + 1,
                                         table.entries.begin() + 1 + table.count);
  for (int r = 0; r < table.count; ++r)
    table.entries[static_cast<std::size_t>(r) + 1] = unsorted[static_cast<std::size_t>(order[r])];
}

std::string logLine(const GateRegion& r, int xb, int yb) {
  std::string s = regionLogPrefix(r);
  appendInt(s, xb);
  s += " : ";
  appendInt(s, yb);
  return s;
}

void appendClusterLine(std::string& out, const TForm130& form, const GateRegion& r, int xb,
                       int yb) {
  appendRegionRecord(out, form.patientId, form.testId, form.seriesId, r);
  out += ';';
  appendInt(out, xb);
  out += ';';
  appendInt(out, yb);
  out += "\r\n";
}

void appendSummaryLine(std::string& out, const GateRegion& r, int xb, int yb) {
  appendInt(out, r.x1, kColumn);
  for (int v : {r.y1, r.dx, r.dy, r.area}) appendIntColumn(out, v, kColumn);
  appendRealColumn(out, r.intensity, 9, 3);
  appendIntColumn(out, xb, kColumn);
  appendIntColumn(out, yb, kColumn);
  out += "\r\n";
}

// One run of the finder. The "Start" button reverses the row order and writes only the cluster
// file, under its own fixed name.
void runFinder(TForm130& form, GateFinderState& state, const std::string& image, RowOrder order,
               const std::string& clusterFile, bool writeSummary) {
  RegionGrid& grid = *state.grid;
  RegionTable& table = state.table;
  const BmpSize size = loadRegionGrid(image, 1078, order, grid, form.Memo1);
  scanRegions(grid, size, table);
  form.Memo1.add("Areas Found = " + intText(table.count));
  form.Memo1.add("Program Done");
  sortByArea(table);

  OutFile cluster(clusterFile);
  std::optional<OutFile> summary;
  if (writeSummary) summary.emplace(clusterFile + ".dat");
  form.Memo1.add("x1:y1:dx:dy:area:intensity:xb:yb");
  if (summary) summary->line(intText(table.count));
  for (int k = 1; k <= table.count; ++k) {
    const GateRegion& r = table.entries[k];
    const int xb = gateXb(r.x1);
    const int yb = gateYb(r.y1);
    form.Memo1.add(logLine(r, xb, yb));
    appendClusterLine(cluster.text(), form, r, xb, yb);
    if (summary) appendSummaryLine(summary->text(), r, xb, yb);
  }
  if (summary) {
    summary->endLine();
    summary->close();
  }
  cluster.close();
}

}  // namespace

void GateFinderState::reset() {
  grid.clear();
  table.entries.fill(GateRegion{});
  table.count = 0;
  imageName.clear();
  clusterName.clear();
}

void TForm130::setFileNames(const std::string& image, const std::string& cluster) {
  state_->imageName = image;
  state_->clusterName = cluster;
}

void TForm130::doCluster() {
  runFinder(*this, *state_, state_->imageName, RowOrder::Stored, state_->clusterName, true);
}

void TForm130::Button1Click() {
  runFinder(*this, *state_, imageFile, RowOrder::Reversed, kGatesList, false);
}

int TForm130::regionCount() const { return state_->table.count; }

const GateRegion& TForm130::region(int k) const {
  static const GateRegion none;
  if (k < 1 || k > state_->table.count) return none;
  return state_->table.entries[k];
}

}  // namespace pelk
