#pragma once
#include <string>

#include "common/module_log.h"
#include "regions/cluster_group.h"

namespace pelk {

// Tumour progression analysis over two cluster summary files: group statistics, tumour indexes
// and the verdict, written to the log and "tpa.dat".
class TForm150 {
 public:
  ModuleLog Memo1;

  void setClusterFileNames(const std::string& name1, const std::string& name2);
  void doTumorAnalysis();

 private:
  std::string name1_;
  std::string name2_;
  ClusterGroup group1_;
  ClusterGroup group2_;
};

}  // namespace pelk
