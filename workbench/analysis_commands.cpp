#include "sqlexport/sql_export.h"
#include "workbench/command_args.h"
#include "workbench/read_img_file.h"
#include "workbench/workbench.h"

// The analysis commands. The modules meet only through files with fixed names in the working
// directory, so the order of the steps below is what makes each chain correct.

namespace pelk {
void Workbench::rankAnalysis1() {
  append("Processing: Setting Up Param1 Files");
  TForm101& profiles = modules_.form101.create();
  profiles.SetupParam1(Edit1, Edit2);
  append("Processing: Making Param1 Files");
  profiles.MakeParam2Files(firstTwo(Edit1, Edit2),
                           firstTwo("setup101.param1", "setup101b.param1"));
  appendModuleLog(profiles.Memo1);
  modules_.form101.close();
  append("Param1 Files Setup Completed");
  append("");
  TForm102& rank = modules_.form102.create();
  rank.performRRA1("setup101.param1", "setup101b.param1");
  appendModuleLog(rank.Memo1);
  param1Sql("setup101.param1", kExportPatient, kExportTest);
  param1Sql("setup101b.param1", kExportPatient, kExportTest);
  rra1Sql(kExportPatient, kExportTest, rank.rra1Significant, rank.rra1Value);
  modules_.form102.close();
  appendReady();
}

void Workbench::rankAnalysis2() {
  TForm103& maps = modules_.form103.create();
  maps.setFileNames(Edit1, Edit2);
  maps.makeMap2(firstTwo(Edit1, Edit2), firstTwo("setup101.map", "setup102b.map"));
  appendModuleLog(maps.Memo1);
  modules_.form103.close();
  modules_.form103.free();
  TForm102& rank = modules_.form102.create();
  rank.setRRA2Files("setup101.map", "setup102b.map");
  rank.performRRA2();
  appendModuleLog(rank.Memo1);
  map1Sql("setup101.map", kExportPatient, kExportTest);
  map1Sql("setup102b.map", kExportPatient, kExportTest);
  rra2Sql(kExportPatient, kExportTest, rank.rra2Significant, rank.rra2Value);
  modules_.form102.close();
  modules_.form102.free();
  appendReady();
}

void Workbench::multiCorrelationHighlight() {
  append(" ");
  append("Results of MCHS");
  TForm1031& maps = modules_.form1031.create();
  maps.setFilenames2(Edit1, Edit2);
  maps.makeMap();
  modules_.form1031.close();
  TForm104& mchs = modules_.form104.create();
  mchs.setFileNames("setup101.map1", "setup102b.map1");
  mchs.performMCHS("setup101.map1", "setup102b.map1", Image1);
  showingHighlights(Edit1, Edit2);
  append("");
  appendModuleLog(mchs.Memo1);
  append("");
  modules_.form104.free();
  mchsSql("mchs-results.dat", kExportPatient, kExportTest);
}

void Workbench::zonalCorrelationHighlight() {
  append("Processing: Setting Up Param1 Files");
  TForm101& profiles = modules_.form101.create();
  profiles.SetupParam1(Edit1, Edit2);
  profiles.MakeParam2Files(firstTwo(Edit1, Edit2),
                           firstTwo("setup101.param1", "setup101b.param1"));
  appendModuleLog(profiles.Memo1);
  modules_.form101.close();
  append("Param1 Files Setup Completed");
  append("");
  TForm170& zones = modules_.form170.create();
  zones.doZchs("setup101.param1", "setup101b.param1");
  appendModuleLog(zones.Memo1);
  appendReady();
  modules_.form170.close();
  zchsSql("zchs.dat", kExportPatient, kExportTest);
}

void Workbench::differentialImage() {
  TForm120& diff = modules_.form120.create();
  diff.setFileNames(Edit1, Edit2);
  diff.doDiffBmp();
  modules_.form120.close();
  showScan("diffbmp.bmp", ViewContent::DifferenceImage,
           "Difference image diffbmp.bmp of " + Edit2 + " against " + Edit1);
  diffbmpSql("diffbmp.bmp", kExportPatient, kExportTest);
}

void Workbench::cluster() {
  TForm120& diff = modules_.form120.create();
  diff.setFileNames(Edit1, Edit2);
  diff.doDiffBmp();
  modules_.form120.close();
  TForm130& gates = modules_.form130.create();
  gates.setFileNames("diffbmp.bmp", "cluster1.db.txt");
  gates.doCluster();
  appendModuleLog(gates.Memo1);
  // The gate finder is left neither closed nor freed.
  cluster1Sql("cluster1.db.txt.dat", kExportPatient, kExportTest);
  append(std::string(50, '-'));
  appendReady();
}

void Workbench::tumorProgression() {
  TForm120& diff1 = modules_.form120.create();
  diff1.setFileNames(Edit1, Edit2);
  diff1.doDiffBmp();
  modules_.form120.close();
  TForm130& gates1 = modules_.form130.create();
  gates1.setFileNames("diffbmp.bmp", "cluster1.db.txt");
  gates1.doCluster();
  appendModuleLog(gates1.Memo1);
  append(std::string(50, '-'));
  modules_.form130.close();

  // "diffbmp.bmp" now becomes the difference between the standard and the third image.
  TForm120& diff2 = modules_.form120.create();
  diff2.setFileNames(Edit1, Edit3);
  diff2.doDiffBmp();
  modules_.form120.close();
  TForm130& gates2 = modules_.form130.create();
  gates2.setFileNames("diffbmp.bmp", "cluster2.db.txt");
  gates2.doCluster();
  appendModuleLog(gates2.Memo1);
  append(std::string(50, '-'));
  modules_.form130.close();

  TForm150& progression = modules_.form150.create();
  progression.setClusterFileNames("cluster1.db.txt.dat", "cluster2.db.txt.dat");
  progression.doTumorAnalysis();
  appendModuleLog(progression.Memo1);
  append(std::string(48, '-'));
  modules_.form150.close();
  tpaSql("tpa.dat", kExportPatient, kExportTest);
  appendReady();
}

void Workbench::falseColor() {
  TForm104& mchs = modules_.form104.create();
  paintFalseColor(mchs, Image1, "setup101.map", "setup102b.map");
  ViewShows = ViewContent::FalseColour;
  ViewCaption = "False colour of the maps setup101.map and setup102b.map";
  appendModuleLog(mchs.Memo1);
  modules_.form104.close();
  append("");
  append("Ready");
}

}  // namespace pelk
