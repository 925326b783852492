#include "importers/dicom_reader.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include <dcmtk/config/osconfig.h>
#include <dcmtk/dcmdata/dcrledrg.h>
#include <dcmtk/dcmdata/dctk.h>
#include <dcmtk/dcmjpeg/djdecode.h>
#include <dcmtk/dcmjpls/djdecode.h>
#include <dcmtk/oflog/oflog.h>

#include "common/file_io.h"
#include "common/io_error.h"
#include "importers/gdcm_pixels.h"
#include "importers/scan_limits.h"

namespace pelk {
namespace {

struct DicomFailure {
  const std::string& path;
  [[noreturn]] void operator()(const std::string& reason) const {
    throw IoError("Cannot import DICOM file " + path + ": " + reason);
  }
};

// DCMTK reports parsing trouble through its own logger as well as through return codes; the
// return codes are what we turn into errors, so the logger would only print noise on stderr.
void quietenToolkitLog() {
  static const bool done = [] {
    OFLog::configure(OFLogger::FATAL_LOG_LEVEL);
    return true;
  }();
  (void)done;
}

// Where an attribute may be: image pixel attributes only at the top level (an icon image in a
// sequence has Rows and Columns of its own); the attributes that enhanced multi-frame files keep
// in functional groups (spacing, orientation, rescale, window) also inside sequences.
enum class Where { TopLevel, AlsoInGroups };

// Scanners and archives often store pixel data RLE-, JPEG- or JPEG-LS-compressed; DCMTK decodes
// these once its decoders are registered, which is process-wide and done on first need.
void registerDecoders() {
  static const bool done = [] {
    DcmRLEDecoderRegistration::registerCodecs();
    DJDecoderRegistration::registerCodecs();
    DJLSDecoderRegistration::registerCodecs();
    // Handed back at exit, before the toolkit's own list of codecs is destroyed without them.
    std::atexit([] {
      DJLSDecoderRegistration::cleanup();
      DJDecoderRegistration::cleanup();
      DcmRLEDecoderRegistration::cleanup();
    });
    return true;
  }();
  (void)done;
}

// A numeric attribute of any numeric VR (US, IS, DS). Absent is nothing; present but not a number
// is an error, so a damaged header is not silently read as a default.
std::optional<double> number(DcmDataset& data, const DcmTagKey& tag, unsigned long index,
                             const DicomFailure& fail, Where where = Where::TopLevel) {
  const std::string name = DcmTag(tag).getTagName();
  for (const bool nested : {false, true}) {
    if (nested && where == Where::TopLevel) break;
    DcmElement* element = nullptr;
    if (data.findAndGetElement(tag, element, nested).bad() || element == nullptr) continue;
    if (index >= element->getVM()) return std::nullopt;
    OFString text;
    if (element->getOFString(text, index, OFTrue).bad()) fail(name + " cannot be read");
    // from_chars, unlike strtod, ignores the process locale, which a GUI toolkit may have set
    // to one with a decimal comma.
    std::string_view digits(text.c_str());
    while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
    while (!digits.empty() && digits.back() == ' ') digits.remove_suffix(1);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
      fail(name + " is not a number: \"" + text.c_str() + "\"");
    if (!std::isfinite(value)) fail(name + " is not finite");
    return value;
  }
  return std::nullopt;
}

std::optional<long> integer(DcmDataset& data, const DcmTagKey& tag, const DicomFailure& fail) {
  const auto value = number(data, tag, 0, fail);
  if (!value) return std::nullopt;
  if (*value != std::floor(*value) || std::fabs(*value) > 2e9)
    fail(std::string(DcmTag(tag).getTagName()) + " is not a whole number");
  return static_cast<long>(*value);
}

long requiredInteger(DcmDataset& data, const DcmTagKey& tag, const DicomFailure& fail) {
  const auto value = integer(data, tag, fail);
  if (!value) fail(std::string(DcmTag(tag).getTagName()) + " is missing");
  return *value;
}

std::string text(DcmDataset& data, const DcmTagKey& tag) {
  OFString value;
  if (data.findAndGetOFString(tag, value).bad()) return {};
  return value.c_str();
}

double length(const PatientDirection& d) {
  return std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
}

// Image Orientation (Patient): the directions of increasing column and increasing row index.
// The frame axis is their cross product. Anything but two usable directions counts as absent.
std::optional<std::array<PatientDirection, 3>> orientation(DcmDataset& data,
                                                           const DicomFailure& fail) {
  std::array<double, 6> cosines{};
  for (unsigned long i = 0; i < 6; ++i) {
    const auto value = number(data, DCM_ImageOrientationPatient, i, fail, Where::AlsoInGroups);
    if (!value) return std::nullopt;
    cosines[i] = *value;
  }
  PatientDirection across{cosines[0], cosines[1], cosines[2]};
  PatientDirection down{cosines[3], cosines[4], cosines[5]};
  const double a = length(across), b = length(down);
  if (a < 1e-6 || b < 1e-6) return std::nullopt;
  for (auto& v : across) v /= a;
  for (auto& v : down) v /= b;
  const PatientDirection normal{across[1] * down[2] - across[2] * down[1],
                                across[2] * down[0] - across[0] * down[2],
                                across[0] * down[1] - across[1] * down[0]};
  if (length(normal) < 1e-6) return std::nullopt;
  return std::array<PatientDirection, 3>{across, down, normal};
}

struct PixelLayout {
  long bitsAllocated = 0;
  long bitsStored = 0;
  long highBit = 0;
  bool isSigned = false;
};

float storedValue(std::uint32_t raw, const PixelLayout& layout) {
  const long shift = layout.highBit + 1 - layout.bitsStored;
  const std::uint32_t mask = (std::uint32_t{1} << layout.bitsStored) - 1;
  const std::uint32_t bits = (raw >> shift) & mask;
  if (layout.isSigned && (bits >> (layout.bitsStored - 1)) != 0)
    return static_cast<float>(static_cast<std::int64_t>(bits) -
                              (std::int64_t{1} << layout.bitsStored));
  return static_cast<float>(bits);
}

}  // namespace

ScanVolume readDicomScan(const std::string& path) {
  quietenToolkitLog();
  const DicomFailure fail{path};

  DcmFileFormat file;
  const OFCondition loaded = file.loadFile(path.c_str());
  if (loaded.bad()) {
    // DCMTK's status for a cut-off file varies with where the cut falls, so the preamble decides
    // whether this was a DICOM file at all.
    const std::string head = readFileHead(path, 132);
    if (head.size() == 132 && head.compare(128, 4, "DICM") == 0)
      fail(std::string("the file is damaged or truncated (") + loaded.text() + ")");
    fail(std::string("not a readable DICOM file (") + loaded.text() + ")");
  }
  DcmDataset& data = *file.getDataset();

  const long samples = integer(data, DCM_SamplesPerPixel, fail).value_or(1);
  std::string photometric = text(data, DCM_PhotometricInterpretation);
  if (photometric.empty() && samples == 1) photometric = "MONOCHROME2";
  if (samples != 1 || (photometric != "MONOCHROME1" && photometric != "MONOCHROME2"))
    fail("colour images are not supported (" + std::to_string(samples) + " samples per pixel, " +
         (photometric.empty() ? std::string("no photometric interpretation") : photometric) +
         "); only monochrome scans can be imported");

  const long rows = requiredInteger(data, DCM_Rows, fail);
  const long columns = requiredInteger(data, DCM_Columns, fail);
  const long frames = integer(data, DCM_NumberOfFrames, fail).value_or(1);
  if (rows < 1 || columns < 1 || frames < 1 || rows > kMaxScanSide || columns > kMaxScanSide)
    fail("invalid image size " + std::to_string(columns) + " x " + std::to_string(rows) + " x " +
         std::to_string(frames) + " frames");
  const auto framePixels = boundedProduct(rows, columns);
  const auto voxels = framePixels ? boundedProduct(*framePixels, frames) : std::nullopt;
  if (!voxels)
    fail("image too large: " + std::to_string(columns) + " x " + std::to_string(rows) + " x " +
         std::to_string(frames) + " frames");

  PixelLayout layout;
  layout.bitsAllocated = requiredInteger(data, DCM_BitsAllocated, fail);
  layout.bitsStored = integer(data, DCM_BitsStored, fail).value_or(layout.bitsAllocated);
  layout.highBit = integer(data, DCM_HighBit, fail).value_or(layout.bitsStored - 1);
  layout.isSigned = integer(data, DCM_PixelRepresentation, fail).value_or(0) == 1;
  if ((layout.bitsAllocated != 8 && layout.bitsAllocated != 16) || layout.bitsStored < 1 ||
      layout.bitsStored > layout.bitsAllocated || layout.highBit < layout.bitsStored - 1 ||
      layout.highBit >= layout.bitsAllocated)
    fail("unsupported pixel layout (" + std::to_string(layout.bitsAllocated) + " bits allocated, " +
         std::to_string(layout.bitsStored) + " stored, high bit " + std::to_string(layout.highBit) +
         "); 8 or 16 bits allocated are supported");

  const double slope = number(data, DCM_RescaleSlope, 0, fail, Where::AlsoInGroups).value_or(1.0);
  const double intercept =
      number(data, DCM_RescaleIntercept, 0, fail, Where::AlsoInGroups).value_or(0.0);

  // Decoded only now, after the size checks above, since the decoder allocates what the header
  // announces.
  const DcmXfer syntax(data.getOriginalXfer());
  const auto bytesPerPixel = static_cast<std::size_t>(layout.bitsAllocated / 8);
  const auto count = static_cast<std::size_t>(*voxels);
  const std::size_t needed = count * bytesPerPixel;
  // Pixels decoded by GDCM when DCMTK has no codec for the syntax (JPEG 2000).
  std::vector<char> decodedElsewhere;
  if (syntax.isEncapsulated()) {
    registerDecoders();
    const OFCondition decoded = data.chooseRepresentation(EXS_LittleEndianExplicit, nullptr);
    std::string why;
    if ((decoded.bad() || !data.canWriteXfer(EXS_LittleEndianExplicit)) &&
        !decodePixelsWithGdcm(path, needed, decodedElsewhere, why))
      fail(std::string("compressed pixel data (") + syntax.getXferName() +
           ") cannot be decoded: " + why);
  }

  DcmElement* pixelElement = nullptr;
  if (data.findAndGetElement(DCM_PixelData, pixelElement).bad() || pixelElement == nullptr)
    fail("no pixel data");
  if (decodedElsewhere.empty() && pixelElement->getLength() < needed)
    fail("pixel data too short: " + std::to_string(pixelElement->getLength()) + " bytes for " +
         std::to_string(needed));

  ScanVolume volume;
  volume.format = "DICOM";
  volume.size = {columns, rows, frames};
  volume.invertGrey = photometric == "MONOCHROME1";
  volume.values.resize(count);
  if (!decodedElsewhere.empty()) {
    for (std::size_t i = 0; i < count; ++i) {
      std::uint32_t raw = static_cast<std::uint8_t>(decodedElsewhere[i * bytesPerPixel]);
      if (bytesPerPixel == 2)
        raw |= std::uint32_t{static_cast<std::uint8_t>(decodedElsewhere[i * 2 + 1])} << 8;
      volume.values[i] = static_cast<float>(storedValue(raw, layout) * slope + intercept);
    }
  } else if (bytesPerPixel == 1) {
    Uint8* pixels = nullptr;
    const OFCondition got = pixelElement->getUint8Array(pixels);
    if (got.bad() || pixels == nullptr)
      fail(std::string("pixel data cannot be read (") + got.text() + ")");
    for (std::size_t i = 0; i < count; ++i)
      volume.values[i] = static_cast<float>(storedValue(pixels[i], layout) * slope + intercept);
  } else {
    Uint16* pixels = nullptr;
    const OFCondition got = pixelElement->getUint16Array(pixels);
    if (got.bad() || pixels == nullptr)
      fail(std::string("pixel data cannot be read (") + got.text() + ")");
    for (std::size_t i = 0; i < count; ++i)
      volume.values[i] = static_cast<float>(storedValue(pixels[i], layout) * slope + intercept);
  }

  const auto rowSpacing = number(data, DCM_PixelSpacing, 0, fail, Where::AlsoInGroups);
  const auto columnSpacing = number(data, DCM_PixelSpacing, 1, fail, Where::AlsoInGroups);
  if (rowSpacing && columnSpacing && *rowSpacing > 0 && *columnSpacing > 0) {
    volume.spacingMm[0] = *columnSpacing;
    volume.spacingMm[1] = *rowSpacing;
  } else {
    volume.spacingAssumed = true;
  }
  const auto between = number(data, DCM_SpacingBetweenSlices, 0, fail, Where::AlsoInGroups);
  const auto thickness = number(data, DCM_SliceThickness, 0, fail, Where::AlsoInGroups);
  if (between && *between > 0) volume.spacingMm[2] = *between;
  else if (thickness && *thickness > 0) volume.spacingMm[2] = *thickness;

  volume.axes = orientation(data, fail);
  volume.sliceAxis = 2;

  const auto centre = number(data, DCM_WindowCenter, 0, fail, Where::AlsoInGroups);
  const auto width = number(data, DCM_WindowWidth, 0, fail, Where::AlsoInGroups);
  if (centre && width && *width >= 1.0) volume.ownWindow = windowFromCentreWidth(*centre, *width);
  return volume;
}

}  // namespace pelk
