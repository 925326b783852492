#include "common/toolkit_module.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

namespace pelk {
namespace {

// What a module's work throws comes out on the program's side as the same kind of exception
// with the same words: the workbench and the study command tell an IoError and a lack of memory
// from the rest.
TEST(ToolkitModule, WhatTheWorkThrowsIsThrownAgainAsTheSameKind) {
  struct Case {
    std::function<void()> work;
    std::function<bool(const std::exception&)> sameKind;
    std::string message;
  };
  const Case cases[] = {
      {[] { throw IoError("Truncated bitmap: std.bmp"); },
       [](const std::exception& e) { return dynamic_cast<const IoError*>(&e) != nullptr; },
       "Truncated bitmap: std.bmp"},
      {[] { throw std::bad_alloc(); },
       [](const std::exception& e) { return dynamic_cast<const std::bad_alloc*>(&e) != nullptr; },
       std::bad_alloc().what()},
      {[] { throw std::out_of_range("index 9"); },
       [](const std::exception& e) {
         return dynamic_cast<const std::runtime_error*>(&e) && !dynamic_cast<const IoError*>(&e);
       },
       "index 9"},
      {[] { throw 42; },
       [](const std::exception& e) { return dynamic_cast<const std::runtime_error*>(&e); },
       "an unexpected failure"},
  };
  for (const Case& c : cases) {
    ModuleFailure failure;
    ASSERT_FALSE(failure.capture(c.work)) << c.message;
    try {
      failure.rethrow();
    } catch (const std::exception& e) {
      EXPECT_TRUE(c.sameKind(e)) << c.message;
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
  ModuleFailure none;
  EXPECT_TRUE(none.capture([] {}));
}

}  // namespace
}  // namespace pelk
