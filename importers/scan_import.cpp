#include "importers/scan_import.h"

#include <cmath>
#include <cstdio>

#include "common/replace_file.h"
#include "importers/grey_slice.h"
#include "importers/nominal_bmp.h"
#include "importers/nominal_resample.h"
#include "importers/radiological_layout.h"
#include "importers/scan_reader.h"

namespace pelk {
namespace {

// Four significant digits for small numbers, whole numbers from 1000 up: 0.4238, 1, 65534.
std::string shortNumber(double value) {
  char text[64];
  std::snprintf(text, sizeof text, std::fabs(value) >= 1000 ? "%.0f" : "%.4g", value);
  const std::string s(text);
  return s == "-0" ? "0" : s;
}

const char* sourceName(WindowSource source) {
  switch (source) {
    case WindowSource::File: return "from the file";
    case WindowSource::Explicit: return "given";
    case WindowSource::Robust: return "robust, 1st-99.5th percentile";
  }
  return "";
}

}  // namespace

ImportSummary importScan(const ImportRequest& request) {
  return importVolume(readScan(request.source), request);
}

ImportSummary importVolume(const ScanVolume& volume, const ImportRequest& request) {
  ImportSummary summary;
  summary.format = volume.format;
  summary.size = volume.size;
  summary.spacingMm = volume.spacingMm;
  summary.spacingAssumed = volume.spacingAssumed;
  summary.sliceAxis = volume.sliceAxis;
  summary.slice = request.slice.value_or(volume.sliceCount() / 2);
  if (request.window) {
    summary.window = *request.window;
    summary.windowSource = WindowSource::Explicit;
  } else if (volume.ownWindow) {
    summary.window = *volume.ownWindow;
    summary.windowSource = WindowSource::File;
  } else {
    summary.window = robustWindow(volume.values);
    summary.windowSource = WindowSource::Robust;
  }

  const SliceLayout layout = radiologicalLayout(volume.axes, volume.sliceAxis);
  const GreySlice slice = greySlice(volume, summary.slice, layout, summary.window);
  const NominalPicture picture = fitToNominal(slice);
  summary.outputSpacingMm = picture.spacingMm;
  replaceFileWhole(request.output, nominalBmpBytes(picture));
  return summary;
}

std::string describeImport(const ImportRequest& request, const ImportSummary& s) {
  const auto axis = static_cast<std::size_t>(s.sliceAxis);
  std::string line = s.format + " " + request.source + ": " + std::to_string(s.size[0]) + " x " +
                     std::to_string(s.size[1]) + " x " + std::to_string(s.size[2]);
  line += s.format == "DICOM" ? " (columns x rows x frames)" : " voxels";
  line += ", spacing " + shortNumber(s.spacingMm[0]) + " x " + shortNumber(s.spacingMm[1]) + " x " +
          shortNumber(s.spacingMm[2]) + " mm";
  if (s.spacingAssumed) line += " (not in the file, 1 mm assumed)";
  line += s.format == "DICOM" ? ", frame " : ", axial slice ";
  line += std::to_string(s.slice) + " of 0-" + std::to_string(s.size[axis] - 1);
  if (s.format != "DICOM") line += std::string(" along ") + "ijk"[axis];
  line += ", window " + shortNumber(s.window.low) + ":" + shortNumber(s.window.high) + " (" +
          sourceName(s.windowSource) + ") -> " + request.output + " (512 x 512, " +
          shortNumber(s.outputSpacingMm) + " mm/pixel)";
  return line;
}

}  // namespace pelk
