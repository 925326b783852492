#include "app/batch/row_command.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pelk {
namespace {

bool has(const ChildSpec& spec, const std::string& arg) {
  return std::find(spec.args.begin(), spec.args.end(), arg) != spec.args.end();
}

// Each step of a row is recorded in the batch's store with the row's test information, the
// study step included.
TEST(RowCommand, EveryStepCarriesTheTestInformationAndTheStore) {
  BatchOptions options;
  options.store = "sqlite:/shared/runs.sqlite";
  ManifestRow row;
  row.kind = RowKind::Studies;
  row.patient = "Doe, Jane";
  row.test = "T1";
  row.date = "2026-03-01";
  row.inputs = {"base.nii.gz", "f1.nii.gz", "f2.nii.gz"};
  for (int step = 0; step < rowStepCount(row); ++step) {
    const ChildSpec spec = rowStep(options, row, "/out/Doe/T1", step);
    for (const char* arg : {"--patient=Doe, Jane", "--test=T1", "--date=2026-03-01",
                            "--store=sqlite:/shared/runs.sqlite"})
      EXPECT_TRUE(has(spec, arg)) << rowStepName(row, step) << " lacks " << arg;
    EXPECT_FALSE(has(spec, "--hospital=")) << "an empty hospital is left to the default";
  }
  EXPECT_EQ(rowStep(options, row, "/out/Doe/T1", 0).args.front(), "study");
}

}  // namespace
}  // namespace pelk
