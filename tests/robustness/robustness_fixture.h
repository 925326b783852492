#pragma once
#include <map>
#include <string>
#include <vector>

#include "tests/robustness/bad_inputs.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {

// A scratch folder holding the sound files, the start-up picture, a file the user saved
// earlier, and one malformed input from the table.
class BadInputFolder : public ScratchDirTest, public ::testing::WithParamInterface<BadInput> {
 protected:
  void SetUp() override;

  // The names Edit1, Edit2 and Edit3 hold for this input: the bad scan in its role (as the
  // reference it also stands for the third image), sound scans otherwise.
  std::string standardName() const;
  std::string referenceName() const;
  std::string thirdName() const;

  // The files no command writes: the user's own, which must come out of every command as
  // they went in. A bad input that is not a regular file is left out.
  std::map<std::string, std::string> userFiles() const;

  static constexpr const char* kEarlierResults = "earlier results.txt";
};

}  // namespace pelk::test
