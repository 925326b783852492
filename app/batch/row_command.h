#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "app/batch/batch_options.h"
#include "app/batch/child_process.h"
#include "app/batch/manifest.h"

namespace pelk {

// The processes a row runs, in order: for bitmaps one run of the commands; for studies the study
// command, which leaves std.bmp, ref.bmp and third.bmp in the row's folder, then the commands on
// those slices. Every option is passed as --name=value, so a value that starts with a dash
// is never taken for an option.
int rowStepCount(const ManifestRow& row);
ChildSpec rowStep(const BatchOptions& options, const ManifestRow& row,
                  const std::filesystem::path& rowDir, int step);
// What the step is called in an error message ("study", "commands").
std::string rowStepName(const ManifestRow& row, int step);

// The words a row runs and its results hash covers.
std::vector<std::string> rowCommands(const BatchOptions& options);

}  // namespace pelk
