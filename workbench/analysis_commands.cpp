#include "common/fixed_files.h"
#include "sqlexport/sql_export.h"
#include "workbench/command_args.h"
#include "workbench/command_chains.h"
#include "workbench/read_img_file.h"
#include "workbench/workbench.h"

// The analysis commands. The modules meet only through files with fixed names in the working
// directory, so the order of the steps below is what makes each chain correct.

namespace pelk {
void Workbench::rankAnalysis1() {
  setUpProfiles(modules_.form101, Memo1, Edit1, Edit2, {.sayMaking = true, .copyLog = true});
  TForm102& rank = modules_.form102.create();
  rank.performRRA1(kStandardProfile, kReferenceProfile);
  appendModuleLog(rank.Memo1);
  param1Sql(kStandardProfile, kExportPatient, kExportTest);
  param1Sql(kReferenceProfile, kExportPatient, kExportTest);
  rra1Sql(kExportPatient, kExportTest, rank.rra1Significant, rank.rra1Value);
  modules_.form102.close();
  appendReady();
}

void Workbench::rankAnalysis2() {
  makeRankMaps(modules_.form103, Memo1, Edit1, Edit2, {.copyLog = true, .free = true});
  TForm102& rank = modules_.form102.create();
  rank.setRRA2Files(kStandardMap, kReferenceMap);
  rank.performRRA2();
  appendModuleLog(rank.Memo1);
  map1Sql(kStandardMap, kExportPatient, kExportTest);
  map1Sql(kReferenceMap, kExportPatient, kExportTest);
  rra2Sql(kExportPatient, kExportTest, rank.rra2Significant, rank.rra2Value);
  modules_.form102.close();
  modules_.form102.free();
  appendReady();
}

void Workbench::multiCorrelationHighlight() {
  append(" ");
  append("Results of MCHS");
  runHighlightSystem(modules_.form1031, modules_.form104, Memo1, Image1, Edit1, Edit2,
                     /*blankAfterLog=*/true);
  showingHighlights(Edit1, Edit2);
}

void Workbench::zonalCorrelationHighlight() {
  setUpProfiles(modules_.form101, Memo1, Edit1, Edit2, {.copyLog = true});
  TForm170& zones = modules_.form170.create();
  zones.doZchs(kStandardProfile, kReferenceProfile);
  appendModuleLog(zones.Memo1);
  appendReady();
  modules_.form170.close();
  zchsSql(kZonalResults, kExportPatient, kExportTest);
}

void Workbench::differentialImage() {
  makeDifferenceImage(modules_.form120, Edit1, Edit2);
  showScan(
      kDifferenceImage, ViewContent::DifferenceImage,
      "Difference image " + std::string(kDifferenceImage) + " of " + Edit2 + " against " + Edit1);
  diffbmpSql(kDifferenceImage, kExportPatient, kExportTest);
}

void Workbench::cluster() {
  makeDifferenceImage(modules_.form120, Edit1, Edit2);
  // The gate finder is left neither closed nor freed.
  runGateFinder(modules_.form130, Memo1, kClusterList1, {.copyLog = true});
  cluster1Sql(kClusterSummary1, kExportPatient, kExportTest);
  append(std::string(50, '-'));
  appendReady();
}

void Workbench::tumorProgression() {
  makeDifferenceImage(modules_.form120, Edit1, Edit2);
  runGateFinder(modules_.form130, Memo1, kClusterList1,
                {.copyLog = true, .ruleAfter = true, .close = true});

  // "diffbmp.bmp" now becomes the difference between the standard and the third image.
  makeDifferenceImage(modules_.form120, Edit1, Edit3);
  runGateFinder(modules_.form130, Memo1, kClusterList2,
                {.copyLog = true, .ruleAfter = true, .close = true});

  TForm150& progression = modules_.form150.create();
  progression.setClusterFileNames(kClusterSummary1, kClusterSummary2);
  progression.doTumorAnalysis();
  appendModuleLog(progression.Memo1);
  append(std::string(48, '-'));
  modules_.form150.close();
  tpaSql(kProgressionResults, kExportPatient, kExportTest);
  appendReady();
}

void Workbench::falseColor() {
  TForm104& mchs = modules_.form104.create();
  paintFalseColor(mchs, Image1, kStandardMap, kReferenceMap);
  ViewShows = ViewContent::FalseColour;
  ViewCaption = "False colour of the maps " + std::string(kStandardMap) + " and " +
                std::string(kReferenceMap);
  appendModuleLog(mchs.Memo1);
  modules_.form104.close();
  append("");
  append("Ready");
}

}  // namespace pelk
