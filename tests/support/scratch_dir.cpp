#include "tests/support/scratch_dir.h"

#include <stdlib.h>
#include <unistd.h>

namespace pelk::test {

void ScratchDirTest::SetUp() {
  previous_ = std::filesystem::current_path();
  std::string pattern = (std::filesystem::temp_directory_path() / "pelk-test-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  ASSERT_NE(made, nullptr);
  dir_ = made;
  std::filesystem::current_path(dir_);
  // The front end records every run; a test's runs go to a store beside its folder, removed
  // with it, never to the user's own.
  setenv("XDG_DATA_HOME", (dir_.string() + "-data").c_str(), 1);
  unsetenv("PELK40_STORE");
}

void ScratchDirTest::TearDown() {
  std::filesystem::current_path(previous_);
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
  std::filesystem::remove_all(dir_.string() + "-data", ec);
}

}  // namespace pelk::test
