#include "workbench/module_slot.h"

#include <gtest/gtest.h>

namespace pelk {
namespace {

struct Counted {
  static inline int alive = 0;
  Counted() { ++alive; }
  ~Counted() { --alive; }
};

TEST(ModuleSlot, CloseKeepsTheObjectFreeDestroysIt) {
  ModuleSlot<Counted> slot;
  EXPECT_EQ(slot.state(), ModuleSlot<Counted>::State::None);
  Counted& first = slot.create();
  slot.close();
  EXPECT_EQ(slot.get(), &first);
  EXPECT_EQ(slot.state(), ModuleSlot<Counted>::State::Closed);
  EXPECT_EQ(Counted::alive, 1);
  slot.free();
  EXPECT_EQ(slot.get(), nullptr);
  EXPECT_EQ(Counted::alive, 0);
}

TEST(ModuleSlot, EveryCreationMakesAFreshObject) {
  ModuleSlot<Counted> slot;
  slot.create();
  slot.create();
  EXPECT_EQ(slot.createdCount(), 2);
  EXPECT_EQ(slot.state(), ModuleSlot<Counted>::State::Open);
  EXPECT_EQ(Counted::alive, 1);
}

}  // namespace
}  // namespace pelk
