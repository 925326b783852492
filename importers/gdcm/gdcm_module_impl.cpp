// The GDCM module (see importers/gdcm_module.h): built as a shared object of its own and loaded
// on first use, so that nothing else links GDCM.
#include <algorithm>
#include <cstring>
#include <exception>

#include <gdcmDirectory.h>
#include <gdcmImageReader.h>
#include <gdcmScanner.h>
#include <gdcmTrace.h>

#include "importers/gdcm_module.h"

namespace pelk {
namespace {

const gdcm::Tag kSeriesUid(0x0020, 0x000e);
const gdcm::Tag kPosition(0x0020, 0x0032);
const gdcm::Tag kOrientation(0x0020, 0x0037);
const gdcm::Tag kRows(0x0028, 0x0010);
const gdcm::Tag kColumns(0x0028, 0x0011);

void quietenToolkit() {
  gdcm::Trace::SetWarning(false), gdcm::Trace::SetDebug(false), gdcm::Trace::SetError(false);
}

bool decodePixels(const std::string& path, std::size_t expectedBytes, std::vector<char>& pixels,
                  std::string& why) try {
  quietenToolkit();
  gdcm::ImageReader reader;
  reader.SetFileName(path.c_str());
  if (!reader.Read()) {
    why = "the pixel data cannot be read";
    return false;
  }
  const gdcm::Image& image = reader.GetImage();
  if (image.GetBufferLength() != expectedBytes) {
    why = "the decoded pixel data has " + std::to_string(image.GetBufferLength()) +
          " bytes where the header announces " + std::to_string(expectedBytes);
    return false;
  }
  pixels.resize(expectedBytes);
  if (!image.GetBuffer(pixels.data())) {
    why = "the codec failed on the pixel data";
    pixels.clear();
    return false;
  }
  return true;
} catch (const std::exception& e) {
  why = e.what();
  return false;
}

std::optional<std::string> valueOf(const gdcm::Scanner& scanner, const std::string& file,
                                   const gdcm::Tag& tag) {
  const char* value = scanner.GetValue(file.c_str(), tag);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

bool scanFolder(const std::string& folder, std::vector<GdcmScannedFile>& files,
                std::string& why) try {
  quietenToolkit();
  gdcm::Directory directory;
  directory.Load(folder, false);
  gdcm::Scanner scanner;
  for (const auto& tag : {kSeriesUid, kPosition, kOrientation, kRows, kColumns})
    scanner.AddTag(tag);
  if (!directory.GetFilenames().empty() && !scanner.Scan(directory.GetFilenames())) {
    why = "Cannot scan the DICOM folder " + folder;
    return false;
  }
  for (const auto& file : directory.GetFilenames()) {
    if (!scanner.IsKey(file.c_str())) continue;
    files.push_back({file, valueOf(scanner, file, kSeriesUid), valueOf(scanner, file, kPosition),
                     valueOf(scanner, file, kOrientation), valueOf(scanner, file, kRows),
                     valueOf(scanner, file, kColumns)});
  }
  return true;
} catch (const std::exception& e) {
  why = "Cannot scan the DICOM folder " + folder + ": " + e.what();
  return false;
}

// Voxel values of one decoded frame buffer through the rescale, appended to `out`.
template <typename T>
void appendAs(const std::vector<char>& buffer, std::size_t count, double slope, double intercept,
              std::vector<float>& out) {
  for (std::size_t i = 0; i < count; ++i) {
    T v;
    std::memcpy(&v, buffer.data() + i * sizeof(T), sizeof v);
    out.push_back(static_cast<float>(static_cast<double>(v) * slope + intercept));
  }
}

bool decodeImage(const std::string& path, std::int64_t maxSide, std::int64_t maxBytes,
                 GdcmImageGeometry& d, std::vector<float>& out, std::string& why) try {
  quietenToolkit();
  const std::string name = "Cannot read DICOM image " + path;
  gdcm::ImageReader reader;
  reader.SetFileName(path.c_str());
  if (!reader.Read()) {
    why = name;
    return false;
  }
  const gdcm::Image& image = reader.GetImage();
  d.dimensionCount = image.GetNumberOfDimensions();
  for (unsigned i = 0; i < std::min(3u, d.dimensionCount); ++i) d.dims[i] = image.GetDimension(i);
  for (unsigned i = 0; i < 3; ++i) {
    d.spacing[i] = image.GetSpacing(i);
    d.origin[i] = image.GetOrigin(i);
  }
  std::copy_n(image.GetDirectionCosines(), 6, d.cosines);

  const gdcm::PixelFormat& format = image.GetPixelFormat();
  if (format.GetSamplesPerPixel() != 1) {
    why = name + ": colour images are not supported";
    return false;
  }
  for (unsigned n : d.dims)
    if (n < 1 || n > maxSide) {
      why = name + ": size " + std::to_string(d.dims[0]) + " x " + std::to_string(d.dims[1]) +
            " x " + std::to_string(d.dims[2]) + " is beyond 1 to " + std::to_string(maxSide) +
            " voxels a side";
      return false;
    }
  const std::size_t count = std::size_t{d.dims[0]} * d.dims[1] * d.dims[2];
  const std::size_t length = image.GetBufferLength();
  if (length < count * format.GetPixelSize() ||
      count * sizeof(float) > static_cast<std::size_t>(maxBytes)) {
    why = name + ": pixel data does not match its size";
    return false;
  }
  std::vector<char> buffer(length);
  if (!image.GetBuffer(buffer.data())) {
    why = name + ": pixel data cannot be decoded";
    return false;
  }

  const double slope = image.GetSlope(), intercept = image.GetIntercept();
  out.reserve(out.size() + count);
  switch (format.GetScalarType()) {
    case gdcm::PixelFormat::UINT8:
      appendAs<std::uint8_t>(buffer, count, slope, intercept, out);
      break;
    case gdcm::PixelFormat::INT8:
      appendAs<std::int8_t>(buffer, count, slope, intercept, out);
      break;
    case gdcm::PixelFormat::UINT16:
      appendAs<std::uint16_t>(buffer, count, slope, intercept, out);
      break;
    case gdcm::PixelFormat::INT16:
      appendAs<std::int16_t>(buffer, count, slope, intercept, out);
      break;
    case gdcm::PixelFormat::UINT32:
      appendAs<std::uint32_t>(buffer, count, slope, intercept, out);
      break;
    case gdcm::PixelFormat::INT32:
      appendAs<std::int32_t>(buffer, count, slope, intercept, out);
      break;
    case gdcm::PixelFormat::FLOAT32: appendAs<float>(buffer, count, slope, intercept, out); break;
    case gdcm::PixelFormat::FLOAT64: appendAs<double>(buffer, count, slope, intercept, out); break;
    default:
      why = name + ": pixel type " + format.GetScalarTypeAsString() + " is not supported";
      return false;
  }
  return true;
} catch (const std::exception& e) {
  why = "Cannot read DICOM image " + path + ": " + e.what();
  return false;
}

constexpr GdcmModule kModule{decodePixels, scanFolder, decodeImage};

}  // namespace
}  // namespace pelk

extern "C" __attribute__((visibility("default"))) const pelk::GdcmModule* pelkGdcmModule() {
  return &pelk::kModule;
}
