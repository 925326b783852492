#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/gate_image.h"
#include "tests/support/scratch_dir.h"
#include "workbench/workbench.h"

// Two workbenches in one process: what one workbench's module objects keep between runs must
// never show in the other's.

namespace pelk {
namespace {

struct StateCase {
  const char* name;
  // Leaves a mark in the state of `first`'s modules.
  std::function<void(ModuleObjects& first)> mark;
  // Runs the same module in `second`, as a second workbench would.
  std::function<void(ModuleObjects& second)> disturb;
  // Whether `first`'s mark is still there.
  std::function<bool(ModuleObjects& first)> markKept;
};

class ModuleStateTest : public test::ScratchDirTest {};

void writeProfile(const std::string& name, int firstValue) {
  test::writeFile(name, "1 2\r\n" + std::to_string(firstValue) + " 7\r\n");
}

TEST_F(ModuleStateTest, TwoWorkbenchesKeepTheirModuleStateApart) {
  test::GateImage lesion(20, 20);
  lesion.set(5, 7, 200);
  lesion.write("lesion.bmp");
  test::GateImage(20, 20).write("empty.bmp");
  writeProfile("a.param1", 11);
  writeProfile("b.param1", 22);

  const std::vector<StateCase> cases = {
      {"highlight threshold", [](ModuleObjects& m) { m.form104.create().resetThreshold(); },
       [](ModuleObjects& m) { m.form104.create(); },
       [](ModuleObjects& m) { return m.form104.get()->threshold() == 5000.0; }},
      {"difference image names",
       [](ModuleObjects& m) { m.form120.create().setFileNames("a.bmp", "b.bmp"); },
       [](ModuleObjects& m) { m.form120.create().setFileNames("c.bmp", "d.bmp"); },
       [](ModuleObjects& m) { return m.form120.shared().referenceName == "b.bmp"; }},
      {"gate finder table",
       [](ModuleObjects& m) {
         TForm130& gates = m.form130.create();
         gates.setFileNames("lesion.bmp", "first.db.txt");
         gates.doCluster();
       },
       [](ModuleObjects& m) {
         TForm130& gates = m.form130.create();
         gates.setFileNames("empty.bmp", "second.db.txt");
         gates.doCluster();
       },
       [](ModuleObjects& m) { return m.form130.get()->regionCount() == 1; }},
      {"rank analysis cores", [](ModuleObjects& m) { m.form102.create().loadCore(1, "a.param1"); },
       [](ModuleObjects& m) { m.form102.create().loadCore(1, "b.param1"); },
       [](ModuleObjects& m) { return m.form102.get()->coreValue(1, 1, 1) == 11; }},
  };
  for (const StateCase& c : cases) {
    auto first = std::make_unique<ModuleObjects>();
    auto second = std::make_unique<ModuleObjects>();
    c.mark(*first);
    ASSERT_TRUE(c.markKept(*first)) << c.name;
    c.disturb(*second);
    EXPECT_TRUE(c.markKept(*first)) << c.name;
  }
}

TEST_F(ModuleStateTest, ANewObjectOfOneWorkbenchSeesTheStateItsPredecessorLeft) {
  writeProfile("a.param1", 11);
  ModuleObjects modules;
  modules.form102.create().loadCore(2, "a.param1");
  modules.form102.free();
  EXPECT_EQ(modules.form102.create().coreValue(2, 1, 1), 11);
}

}  // namespace
}  // namespace pelk
