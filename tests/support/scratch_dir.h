#pragma once
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace pelk::test {

// Every module reads and writes fixed file names in the current directory, so each test runs
// in a fresh folder of its own, removed afterwards.
class ScratchDirTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::filesystem::path dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
  std::filesystem::path previous_;
};

}  // namespace pelk::test
