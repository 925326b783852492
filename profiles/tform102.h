#pragma once
#include <array>
#include <string>

#include "common/module_log.h"
#include "common/module_state.h"
#include "common/region_scan.h"

namespace pelk {

// The comparison operators of a rank test.
enum class CompOp { Equal, Greater, Less, GreaterEqual, LessEqual, NotEqual, Always };
// Exact text match ("=", ">", "<", ">=", "<=", "!="); any other text gives Always.
CompOp parseCompOp(const std::string& text);

// A test descriptor: 20 text slots numbered 1..20 and the number in use.
struct TestDescriptor {
  std::array<std::string, 21> slots;  // slot 0 unused
  int count = 0;
};

// What the rank-analysis objects of one workbench keep from one object to the next.
struct RankAnalysisState {
  static constexpr int kCoreSlots = 4;
  static constexpr int kCoreRows = 128;
  static constexpr int kCoreColumns = 256;

  using CoreTable =
      std::array<std::array<std::array<std::int32_t, kCoreColumns + 1>, kCoreRows + 1>,
                 kCoreSlots + 1>;

  // Core slots 1..4 of rows 1..128 by columns 1..256. A load overwrites only the rows and
  // columns its file announces, and the statistic reads whatever the other rows still hold.
  ZeroedTable<CoreTable> cores;
  // FG-1's grid and region table, separate from the gate finder's: a run reloads the grid only
  // over its image's rectangle.
  ZeroedTable<RegionGrid> fg1Grid;
  RegionTable fg1Table{};

  void reset();
};

// The rank-analysis module: RRA-1 on two histogram profiles loaded into the shared core
// table, RRA-2 on two intensity maps, and the module's own FG-1 area finder and sifter.
class TForm102 {
 public:
  using SharedState = RankAnalysisState;
  TForm102();  // logs the welcome lines
  explicit TForm102(SharedState& shared);

  ModuleLog Memo1;

  double rra1Value = 0.0;
  bool rra1Significant = false;
  std::string rra2File1;
  std::string rra2File2;
  double rra2Value = 0.0;
  bool rra2Significant = false;

  // The six text fields of the module's own window, with their initial texts.
  std::string patientMriFile = "Edit1";  // "Paitent MRI FILE"
  std::string patientName = "Edit2";     // "Patient Name"
  std::string patientId = "Edit3";       // "Paitent ID"
  std::string comments = "Edit4";        // "Comments"
  std::string baselineFile = "Edit5";    // "Baseline File"
  std::string outputFile = "Edit6";      // "Output File"

  void loadCore(int k, const std::string& fileName);
  void performRRA1(const std::string& profile1, const std::string& profile2);
  void runRRATest(int p, const TestDescriptor& descriptor);

  void setRRA2Files(const std::string& file1, const std::string& file2);
  void performRRA2();
  void rankConclusionReport(const std::string& fileA, const std::string& fileB, double value);

  void Button1Click();                     // "Run RRA-1"
  void Button2Click();                     // "Run FG-1"
  void Button3Click();                     // "Run RRA-2"
  void Button4Click();                     // "Complete- TES"
  void Button5Click() { closed_ = true; }  // "Exit"
  void Button6Click();                     // "Sifter-1"
  bool closed() const { return closed_; }

  // The shared core table: slots 1..4 of rows 1..128 by columns 1..256, 0 outside it.
  int coreValue(int slot, int row, int column) const;

 private:
  ModuleState<SharedState> state_;
  bool closed_ = false;
};

}  // namespace pelk
