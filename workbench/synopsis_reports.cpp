#include <algorithm>

#include "common/fixed_files.h"
#include "sqlexport/sql_export.h"
#include "workbench/command_args.h"
#include "workbench/command_chains.h"
#include "workbench/report_lines.h"
#include "workbench/workbench.h"

// The two synopsis reports. Report 1 condenses five analyses into lines of its own, reading
// the results from the module objects right after each run;
// report 2 frames the tumour progression command.

namespace pelk {
void Workbench::synopsis1() {
  append(" ");
  append("Working ... ");
  append(" ");
  append(reportRule());
  append("= PELK 22 -Cocktail Synopsis Report 1");
  append(reportRule());
  append(" ");

  append("Patient: " + TestInfo.patient);
  append("Test:    " + TestInfo.test);
  append("Hospital: " + TestInfo.hospital);
  append("Date:     " + TestInfo.date);
  append(" ");
  append(" ");

  synopsis1RankAnalysis1(Edit1, Edit2);
  synopsis1RankAnalysis2(Edit1, Edit2);
  synopsis1Mchs(Edit1, Edit2);
  synopsis1Zchs(Edit1, Edit2);
  synopsis1Cluster(Edit1, Edit2);

  append(" ");
  append("END OF REPORT");
  append(" ");
  append("Ready");
}

void Workbench::synopsis1RankAnalysis1(const std::string& standard, const std::string& reference) {
  append("Results of RRA-1");
  setUpProfiles(modules_.form101, Memo1, standard, reference,
                {.fromJobList = true, .sayCompleted = false});
  TForm102& rank = modules_.form102.create();
  rank.performRRA1(kStandardProfile, kReferenceProfile);
  rra1Sql(kExportPatient, kExportTest, rank.rra1Significant, rank.rra1Value);
  param1Sql(kStandardProfile, kExportPatient, kExportTest);
  param1Sql(kReferenceProfile, kExportPatient, kExportTest);
  append(rra1ResultLine(rank.rra1Value, rank.rra1Significant));
  modules_.form102.close();
}

void Workbench::synopsis1RankAnalysis2(const std::string& standard, const std::string& reference) {
  append(" ");
  append("Results of RRA-2");
  makeRankMaps(modules_.form103, Memo1, standard, reference, {});
  TForm102& rank = modules_.form102.create();
  rank.setRRA2Files(kStandardMap, kReferenceMap);
  rank.performRRA2();
  append(rra2ResultLine(rank.rra2Value, rank.rra2Significant));
  modules_.form102.close();
  rra2Sql(kExportPatient, kExportTest, rank.rra2Significant, rank.rra2Value);
  map1Sql(kStandardMap, kExportPatient, kExportTest);
  map1Sql(kReferenceMap, kExportPatient, kExportTest);
}

void Workbench::synopsis1Mchs(const std::string& standard, const std::string& reference) {
  append(" ");
  append("Results of MCHS");
  // The one module log the report copies whole.
  runHighlightSystem(modules_.form1031, modules_.form104, Memo1, Image1, standard, reference,
                     /*blankAfterLog=*/false);
  showingHighlights(standard, reference);
}

void Workbench::synopsis1Zchs(const std::string& standard, const std::string& reference) {
  append(" ");
  append("Results of ZCHS");
  setUpProfiles(modules_.form101, Memo1, standard, reference, {.fromJobList = true});
  TForm170& zones = modules_.form170.create();
  zones.doZchs(kStandardProfile, kReferenceProfile);
  int count = zones.differenceCount();
  append(glistIndexLine(count));
  // The list holds slots 0 to 100; slot 0 is not printed.
  int last = std::min(count - 1, 100);
  for (int k = 1; k <= last; ++k) append(glistSlotLine(k, zones.differenceSlot(k)));
  modules_.form170.close();
  zchsSql(kZonalResults, kExportPatient, kExportTest);
}

void Workbench::synopsis1Cluster(const std::string& standard, const std::string& reference) {
  append(" ");
  append("Results of Cluster");
  makeDifferenceImage(modules_.form120, standard, reference);
  // The gate finder is left neither closed nor freed.
  const TForm130& gates = runGateFinder(modules_.form130, Memo1, kClusterList1, {});
  append(kClusterHeading);
  int count = gates.regionCount();
  for (int k = 1; k <= count; ++k) append(clusterRowLine(k, gates.region(k)));
  cluster1Sql(kClusterSummary1, kExportPatient, kExportTest);
}

void Workbench::synopsis2() {
  append(" ");
  append("Working ... ");
  append(" ");
  append(reportRule());
  append("= PELK 22 -Cocktail Synopsis Report 2");
  append(reportRule());
  append(" ");

  append("Patient: <Patient ID>");
  append("Test:    <TestID>");
  append("Hospital: <Hospital ID>");
  append("Date:     <DateID>");
  append(" ");
  append(" ");
  append(" ");

  append("Results of TPA-1");
  tumorProgression();
  tpaSql(kProgressionResults, kExportPatient, kExportTest);
  append(" ");
  append("Results of TES");
  Button9Click();
  append(" ");
  append("END OF REPORT");
  append(" ");
  append("Ready");
}

}  // namespace pelk
