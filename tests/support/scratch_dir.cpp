#include "tests/support/scratch_dir.h"

#include <unistd.h>

namespace pelk::test {

void ScratchDirTest::SetUp() {
  previous_ = std::filesystem::current_path();
  std::string pattern = (std::filesystem::temp_directory_path() / "pelk-test-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  ASSERT_NE(made, nullptr);
  dir_ = made;
  std::filesystem::current_path(dir_);
}

void ScratchDirTest::TearDown() {
  std::filesystem::current_path(previous_);
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

}  // namespace pelk::test
