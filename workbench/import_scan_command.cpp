#include <charconv>
#include <filesystem>

#include "common/io_error.h"
#include "importers/scan_import.h"
#include "importers/scan_reader.h"
#include "workbench/workbench.h"

// "Import scan…": a DICOM or NIfTI scan becomes a nominal bitmap in the working folder, and its
// path goes into the field the user names, ready for the analyses.

namespace pelk {
namespace {

std::optional<long long> wholeNumber(const std::string& text) {
  long long value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

void Workbench::ImportScanClick() {
  runCommand([this] { importScan(); });
}

void Workbench::importScan() {
  auto source = dialogs_.openFile(
      "Scans(*.dcm *.nii *.nii.gz *.ima)|*.dcm;*.nii;*.nii.gz;*.ima|All files(*)|*");
  if (!source) return;
  ScanVolume volume = readScan(*source);
  const long long count = volume.sliceCount();
  std::string answer =
      dialogs_.inputBox("Import Scan", "Slice to take (0 to " + std::to_string(count - 1) + ")",
                        std::to_string(count / 2));
  std::optional<long long> slice = wholeNumber(answer);
  if (!slice || *slice < 0 || *slice >= count)
    throw IoError("Slice out of range: \"" + answer + "\" (the scan has " + std::to_string(count) +
                  " slices)");

  std::string target = dialogs_.inputBox("Import Scan", "Use it as: Std, Ref or Third", "Std");
  std::string* field = nullptr;
  std::string name;
  if (target == "Std" || target == "std") {
    field = &Edit1;
    name = "imported-std.bmp";
  } else if (target == "Ref" || target == "ref") {
    field = &Edit2;
    name = "imported-ref.bmp";
  } else if (target == "Third" || target == "third") {
    field = &Edit3;
    name = "imported-third.bmp";
  } else {
    throw IoError("Unknown target \"" + target + "\": answer Std, Ref or Third");
  }

  ImportRequest request{*source, (std::filesystem::current_path() / name).string(), *slice,
                        std::nullopt};
  ImportSummary summary = importVolume(volume, request);
  *field = request.output;
  append("Imported: " + describeImport(request, summary));
}

void Workbench::ImportScanInto(const ScanVolume& volume, const ImportRequest& request,
                               ScanField field) {
  runCommand([&] {
    ImportSummary summary = importVolume(volume, request);
    std::string& target = field == ScanField::Standard    ? Edit1
                          : field == ScanField::Reference ? Edit2
                                                          : Edit3;
    target = request.output;
    append("Imported: " + describeImport(request, summary));
    showScan(request.output, ViewContent::Scan, "Imported scan " + request.output);
  });
}

}  // namespace pelk
