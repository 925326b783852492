#include "workbench/command_chains.h"

#include "common/fixed_files.h"
#include "sqlexport/sql_export.h"
#include "workbench/command_args.h"

namespace pelk {

void setUpProfiles(ModuleSlot<TForm101>& slot, ResultsArea& results, const std::string& standard,
                   const std::string& reference, const ProfileSetup& steps) {
  results.append("Processing: Setting Up Param1 Files");
  TForm101& profiles = slot.create();
  profiles.SetupParam1(standard, reference);
  if (steps.sayMaking) results.append("Processing: Making Param1 Files");
  if (steps.fromJobList) profiles.MakeParam1Files();
  else
    profiles.MakeParam2Files(firstTwo(standard, reference),
                             firstTwo(kStandardProfile, kReferenceProfile));
  if (steps.copyLog) results.appendModuleLog(profiles.Memo1);
  slot.close();
  if (steps.sayCompleted) {
    results.append("Param1 Files Setup Completed");
    results.append("");
  }
}

void makeDifferenceImage(ModuleSlot<TForm120>& slot, const std::string& standard,
                         const std::string& other) {
  TForm120& diff = slot.create();
  diff.setFileNames(standard, other);
  diff.doDiffBmp();
  slot.close();
}

TForm130& runGateFinder(ModuleSlot<TForm130>& slot, ResultsArea& results,
                        const std::string& clusterList, const GateFinderRun& steps) {
  TForm130& gates = slot.create();
  gates.setFileNames(kDifferenceImage, clusterList);
  gates.doCluster();
  if (steps.copyLog) results.appendModuleLog(gates.Memo1);
  if (steps.ruleAfter) results.append(std::string(50, '-'));
  if (steps.close) slot.close();
  return gates;
}

void makeRankMaps(ModuleSlot<TForm103>& slot, ResultsArea& results, const std::string& standard,
                  const std::string& reference, const RankMapsRun& steps) {
  TForm103& maps = slot.create();
  maps.setFileNames(standard, reference);
  maps.makeMap2(firstTwo(standard, reference), firstTwo(kStandardMap, kReferenceMap));
  if (steps.copyLog) results.appendModuleLog(maps.Memo1);
  slot.close();
  if (steps.free) slot.free();
}

void runHighlightSystem(ModuleSlot<TForm1031>& maps, ModuleSlot<TForm104>& highlights,
                        ResultsArea& results, Picture& view, const std::string& standard,
                        const std::string& reference, bool blankAfterLog) {
  TForm1031& mapper = maps.create();
  mapper.setFilenames2(standard, reference);
  mapper.makeMap();
  maps.close();
  TForm104& mchs = highlights.create();
  mchs.setFileNames(kStandardHighlightMap, kReferenceHighlightMap);
  mchs.performMCHS(kStandardHighlightMap, kReferenceHighlightMap, view);
  results.append("");
  results.appendModuleLog(mchs.Memo1);
  if (blankAfterLog) results.append("");
  highlights.free();
  mchsSql(kHighlightResults, kExportPatient, kExportTest);
}

}  // namespace pelk
