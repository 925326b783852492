#include "importers/import_command.h"

#include <algorithm>
#include <optional>

#include <CLI/CLI.hpp>

#include "common/word_arguments.h"

#include "common/io_error.h"
#include "importers/scan_import.h"

namespace pelk {

int runImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app("Import one slice of a DICOM or NIfTI scan as a 512 x 512 8-bit grey bitmap.",
               "import");
  ImportRequest request;
  std::optional<std::int64_t> slice;
  std::string windowText = "auto";
  app.add_option("SOURCE", request.source, "DICOM file, or NIfTI .nii / .nii.gz volume")
      ->required();
  app.add_option("--out", request.output, "bitmap to write")->required();
  app.add_option("--slice", slice,
                 "0-based slice (axial slice for NIfTI, frame for DICOM); default: the middle one");
  app.add_option("--window", windowText,
                 "auto (the file's own window, else the 1st-99.5th percentile of non-zero "
                 "values) or MIN:MAX")
      ->capture_default_str();

  if (auto ended = parseWordArguments(app, args, "import", out, err)) return *ended;

  try {
    if (windowText != "auto") request.window = parseWindowText(windowText);
  } catch (const IoError& e) {
    err << "error: import: " << e.what() << '\n';
    return 2;
  }
  request.slice = slice;

  try {
    const ImportSummary summary = importScan(request);
    out << describeImport(request, summary) << '\n';
    return 0;
  } catch (const IoError& e) {
    err << "error: import: " << e.what() << '\n';
  } catch (const std::bad_alloc&) {
    err << "error: import: not enough memory to read " << request.source << '\n';
  }
  return 1;
}

}  // namespace pelk
