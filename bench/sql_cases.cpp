#include "bench/bench_case.h"
#include "bench/pipeline_inputs.h"
#include "sqlexport/sql_export.h"

namespace pelk::bench {
namespace {

const std::string kPatient = "patient1";
const std::string kTest = "test1";

// An export of one result file: `prepare` leaves the file, the case writes its script.
void addExport(const std::string& name, void (*prepare)(const ScanSet&),
               void (*exporter)(const std::string&, const std::string&, const std::string&),
               const std::string& source) {
  addCase({name, prepare,
           [exporter, source](const ScanSet&, Lines*) { exporter(source, kPatient, kTest); }});
}

}  // namespace

void addSqlCases() {
  addExport("sql: param1Sql", makeProfiles, param1Sql, "setup101.param1");
  addExport("sql: map1Sql", makeMaps, map1Sql, "setup101.map");
  addCase({"sql: rra1Sql", [](const ScanSet&) {},
           [](const ScanSet&, Lines*) { rra1Sql(kPatient, kTest, true, 12.3456); }});
  addCase({"sql: rra2Sql", [](const ScanSet&) {},
           [](const ScanSet&, Lines*) { rra2Sql(kPatient, kTest, false, 9.5); }});
  addExport("sql: mchsSql", makeMchsResults, mchsSql, "mchs-results.dat");
  addExport("sql: zchsSql", makeZchs, zchsSql, "zchs.dat");
  addExport("sql: cluster1Sql", makeClusterSummaries, cluster1Sql, "cluster1.db.txt.dat");
  addExport("sql: diffbmpSql", makeDiffImage, diffbmpSql, "diffbmp.bmp");
  addExport("sql: tpaSql", makeTpa, tpaSql, "tpa.dat");
}

}  // namespace pelk::bench
