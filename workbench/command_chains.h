#pragma once
#include <string>

#include "common/picture.h"
#include "maps/tform103.h"
#include "maps/tform1031.h"
#include "maps/tform104.h"
#include "maps/tform120.h"
#include "profiles/tform101.h"
#include "regions/tform130.h"
#include "workbench/module_slot.h"
#include "workbench/results_area.h"

// The module chains several commands run alike. The steps that differ from one command to the
// next (what goes into the results area, whether the module is closed) are explicit arguments;
// the steps keep the order each command has always had, because the modules meet only through
// the files these steps leave behind.

namespace pelk {

// Writes the profiles of `standard` and `reference` into the fixed profile files, with a new
// profile builder that is closed afterwards.
struct ProfileSetup {
  bool sayMaking = false;    // "Processing: Making Param1 Files" before the build
  bool fromJobList = false;  // build through the job list instead of naming the two files
  bool copyLog = false;      // the builder's log into the results area
  bool sayCompleted = true;  // "Param1 Files Setup Completed" and an empty line at the end
};
void setUpProfiles(ModuleSlot<TForm101>& slot, ResultsArea& results, const std::string& standard,
                   const std::string& reference, const ProfileSetup& steps);

// Writes the difference image of `standard` and `other` with a new difference image object,
// closed afterwards. A failure leaves the object open.
void makeDifferenceImage(ModuleSlot<TForm120>& slot, const std::string& standard,
                         const std::string& other);

// Runs a new gate finder over the difference image into `clusterList` and its summary.
struct GateFinderRun {
  bool copyLog = false;    // the finder's log into the results area
  bool ruleAfter = false;  // a rule of 50 dashes after the log
  bool close = false;      // otherwise the finder is left neither closed nor freed
};
TForm130& runGateFinder(ModuleSlot<TForm130>& slot, ResultsArea& results,
                        const std::string& clusterList, const GateFinderRun& steps);

// Writes the two intensity maps RRA-2 compares with a new map object, closed afterwards.
struct RankMapsRun {
  bool copyLog = false;  // the map object's log into the results area
  bool free = false;     // free the map object once closed
};
void makeRankMaps(ModuleSlot<TForm103>& slot, ResultsArea& results, const std::string& standard,
                  const std::string& reference, const RankMapsRun& steps);

// Maps the two scans for the highlight system (the map object is closed) and runs the system on
// the view, its log copied after an empty line; the highlight object is freed afterwards and the
// SQL script written.
void runHighlightSystem(ModuleSlot<TForm1031>& maps, ModuleSlot<TForm104>& highlights,
                        ResultsArea& results, Picture& view, const std::string& standard,
                        const std::string& reference, bool blankAfterLog);

}  // namespace pelk
