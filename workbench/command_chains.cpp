#include "workbench/command_chains.h"

#include "common/fixed_files.h"
#include "workbench/command_args.h"

namespace pelk {

void setUpProfiles(ModuleSlot<TForm101>& slot, ResultsArea& results, const std::string& standard,
                   const std::string& reference, const ProfileSetup& steps) {
  results.append("Processing: Setting Up Param1 Files");
  TForm101& profiles = slot.create();
  profiles.SetupParam1(standard, reference);
  if (steps.sayMaking) results.append("Processing: Making Param1 Files");
  if (steps.fromJobList)
    profiles.MakeParam1Files();
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

}  // namespace pelk
