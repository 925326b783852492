#include "app/batch/row_command.h"

namespace pelk {

int rowStepCount(const ManifestRow& row) { return row.kind == RowKind::Studies ? 2 : 1; }

std::string rowStepName(const ManifestRow& row, int step) {
  return row.kind == RowKind::Studies && step == 0 ? "study" : "commands";
}

std::vector<std::string> rowCommands(const BatchOptions& options) {
  return options.commands.empty() ? defaultCommands() : options.commands;
}

ChildSpec rowStep(const BatchOptions& options, const ManifestRow& row,
                  const std::filesystem::path& rowDir, int step) {
  ChildSpec spec;
  spec.program = options.rowProgram;
  spec.memoryLimitMb = options.memoryLimitMb;
  const std::string dir = rowDir.string();
  // Both steps carry the test information and record their runs in the batch's store.
  auto addRunOptions = [&] {
    spec.args.insert(spec.args.end(), {"--patient=" + row.patient, "--test=" + row.test});
    if (!row.hospital.empty()) spec.args.push_back("--hospital=" + row.hospital);
    if (!row.date.empty()) spec.args.push_back("--date=" + row.date);
    if (!options.store.empty()) spec.args.push_back("--store=" + options.store);
  };
  if (row.kind == RowKind::Studies && step == 0) {
    spec.args = {"study", "--baseline=" + row.inputs[0], "--followup=" + row.inputs[1],
                 "--followup=" + row.inputs[2], "--out=" + dir};
    addRunOptions();
    spec.stdoutFile = rowDir / "study-stdout.txt";
    spec.stderrFile = rowDir / "study-stderr.txt";
    return spec;
  }
  std::array<std::string, 3> scans = row.inputs;
  if (row.kind == RowKind::Studies)
    scans = {(rowDir / "std.bmp").string(), (rowDir / "ref.bmp").string(),
             (rowDir / "third.bmp").string()};
  spec.args = {"--dir=" + dir, "--std=" + scans[0], "--ref=" + scans[1], "--third=" + scans[2]};
  addRunOptions();
  spec.args.push_back("--results=results.txt");
  for (const std::string& word : rowCommands(options)) spec.args.push_back(word);
  spec.stdoutFile = rowDir / "stdout.txt";
  spec.stderrFile = rowDir / "stderr.txt";
  return spec;
}

}  // namespace pelk
