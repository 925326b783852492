#include <filesystem>

#include <gtest/gtest.h>

#include "tests/importers/scan_files.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tests/workbench/scripted_dialogs.h"
#include "workbench/workbench.h"

namespace pelk::test {
namespace {

class WorkbenchImport : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    NiftiSpec spec;
    spec.size = {8, 8, 5, 1};
    for (int i = 0; i < 8 * 8 * 5; ++i) spec.values.push_back(i % 97);
    writeNifti("head.nii", spec);
  }
  ScriptedDialogs dialogs;
};

TEST_F(WorkbenchImport, TheChosenSliceGoesIntoTheNamedField) {
  Workbench workbench(dialogs);
  std::size_t linesBefore = workbench.Memo1.count();
  dialogs.chosenFiles = {std::string("head.nii")};
  dialogs.answers = {"3", "Ref"};
  workbench.ImportScanClick();
  ASSERT_EQ(dialogs.errors.size(), 1u);  // only start-up's missing test101.bmp
  EXPECT_EQ(dialogs.inputBoxes[0], "Import Scan|Slice to take (0 to 4)|2");
  std::string expected = (std::filesystem::current_path() / "imported-ref.bmp").string();
  EXPECT_EQ(workbench.Edit2, expected);
  EXPECT_EQ(workbench.Edit1, "Edit1");
  EXPECT_EQ(readNominal("imported-ref.bmp").bytes.size(), 1078u + 512u * 512u);
  ASSERT_EQ(workbench.Memo1.count(), linesBefore + 1);
  EXPECT_EQ(workbench.Memo1.lines().back().rfind("Imported: ", 0), 0u);
}

TEST_F(WorkbenchImport, BadAnswersEndTheCommandWithAClearMessageAndNoFile) {
  Workbench workbench(dialogs);
  dialogs.chosenFiles = {std::string("head.nii"), std::string("head.nii")};
  dialogs.answers = {"9", "1", "Left"};
  workbench.ImportScanClick();
  workbench.ImportScanClick();
  ASSERT_EQ(dialogs.errors.size(), 3u);
  EXPECT_EQ(dialogs.errors[1], "Slice out of range: \"9\" (the scan has 5 slices)");
  EXPECT_EQ(dialogs.errors[2], "Unknown target \"Left\": answer Std, Ref or Third");
  EXPECT_FALSE(fileExists("imported-std.bmp"));
  EXPECT_EQ(workbench.Edit1, "Edit1");
  // A cancelled file dialog does nothing at all.
  workbench.ImportScanClick();
  EXPECT_EQ(dialogs.errors.size(), 3u);
}

}  // namespace
}  // namespace pelk::test
