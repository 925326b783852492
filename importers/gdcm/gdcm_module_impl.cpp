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

void decodePixels(const std::string& path, std::size_t expectedBytes, std::vector<char>& pixels) {
  gdcm::ImageReader reader;
  reader.SetFileName(path.c_str());
  if (!reader.Read()) throw IoError("the pixel data cannot be read");
  const gdcm::Image& image = reader.GetImage();
  if (image.GetBufferLength() != expectedBytes)
    throw IoError("the decoded pixel data has " + std::to_string(image.GetBufferLength()) +
                  " bytes where the header announces " + std::to_string(expectedBytes));
  pixels.resize(expectedBytes);
  if (!image.GetBuffer(pixels.data())) {
    pixels.clear();
    throw IoError("the codec failed on the pixel data");
  }
}

std::optional<std::string> valueOf(const gdcm::Scanner& scanner, const std::string& file,
                                   const gdcm::Tag& tag) {
  const char* value = scanner.GetValue(file.c_str(), tag);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

void scanFolder(const std::string& folder, std::vector<GdcmScannedFile>& files) {
  gdcm::Directory directory;
  directory.Load(folder, false);
  gdcm::Scanner scanner;
  for (const auto& tag : {kSeriesUid, kPosition, kOrientation, kRows, kColumns})
    scanner.AddTag(tag);
  if (!directory.GetFilenames().empty() && !scanner.Scan(directory.GetFilenames()))
    throw IoError("Cannot scan the DICOM folder " + folder);
  for (const auto& file : directory.GetFilenames()) {
    if (!scanner.IsKey(file.c_str())) continue;
    files.push_back({file, valueOf(scanner, file, kSeriesUid), valueOf(scanner, file, kPosition),
                     valueOf(scanner, file, kOrientation), valueOf(scanner, file, kRows),
                     valueOf(scanner, file, kColumns)});
  }
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

using Appender = void (*)(const std::vector<char>&, std::size_t, double, double,
                          std::vector<float>&);

// How voxels of one scalar type are appended; nullptr for a type not read.
Appender appenderFor(gdcm::PixelFormat::ScalarType type) {
  switch (type) {
    case gdcm::PixelFormat::UINT8: return appendAs<std::uint8_t>;
    case gdcm::PixelFormat::INT8: return appendAs<std::int8_t>;
    case gdcm::PixelFormat::UINT16: return appendAs<std::uint16_t>;
    case gdcm::PixelFormat::INT16: return appendAs<std::int16_t>;
    case gdcm::PixelFormat::UINT32: return appendAs<std::uint32_t>;
    case gdcm::PixelFormat::INT32: return appendAs<std::int32_t>;
    case gdcm::PixelFormat::FLOAT32: return appendAs<float>;
    case gdcm::PixelFormat::FLOAT64: return appendAs<double>;
    default: return nullptr;
  }
}

void decodeImage(const std::string& path, std::int64_t maxSide, std::int64_t maxBytes,
                 GdcmImageGeometry& d, std::vector<float>& out) {
  const std::string name = "Cannot read DICOM image " + path;
  gdcm::ImageReader reader;
  reader.SetFileName(path.c_str());
  if (!reader.Read()) throw IoError(name);
  const gdcm::Image& image = reader.GetImage();
  d.dimensionCount = image.GetNumberOfDimensions();
  for (unsigned i = 0; i < std::min(3u, d.dimensionCount); ++i) d.dims[i] = image.GetDimension(i);
  for (unsigned i = 0; i < 3; ++i) {
    d.spacing[i] = image.GetSpacing(i);
    d.origin[i] = image.GetOrigin(i);
  }
  std::copy_n(image.GetDirectionCosines(), 6, d.cosines);

  const gdcm::PixelFormat& format = image.GetPixelFormat();
  if (format.GetSamplesPerPixel() != 1) throw IoError(name + ": colour images are not supported");
  for (unsigned n : d.dims)
    if (n < 1 || n > maxSide)
      throw IoError(name + ": size " + std::to_string(d.dims[0]) + " x " +
                    std::to_string(d.dims[1]) + " x " + std::to_string(d.dims[2]) +
                    " is beyond 1 to " + std::to_string(maxSide) + " voxels a side");
  const std::size_t count = std::size_t{d.dims[0]} * d.dims[1] * d.dims[2];
  const std::size_t length = image.GetBufferLength();
  if (length < count * format.GetPixelSize() ||
      count * sizeof(float) > static_cast<std::size_t>(maxBytes))
    throw IoError(name + ": pixel data does not match its size");
  std::vector<char> buffer(length);
  if (!image.GetBuffer(buffer.data())) throw IoError(name + ": pixel data cannot be decoded");

  const double slope = image.GetSlope(), intercept = image.GetIntercept();
  out.reserve(out.size() + count);
  const auto append = appenderFor(format.GetScalarType());
  if (!append)
    throw IoError(name + ": pixel type " + format.GetScalarTypeAsString() + " is not supported");
  append(buffer, count, slope, intercept, out);
}

// Runs one entry point's work with the toolkit quiet; an exception of the toolkit's own becomes
// an IoError starting with `context`, so that callers report it as they report a bad file.
template <class Work>
bool runQuietly(ModuleFailure& failure, const std::string& context, Work work) {
  return failure.capture([&] {
    quietenToolkit();
    try {
      work();
    } catch (const IoError&) {
      throw;
    } catch (const std::exception& e) {
      throw IoError(context + e.what());
    }
  });
}

constexpr GdcmModule kModule{
    [](const std::string& path, std::size_t expectedBytes, std::vector<char>& pixels,
       ModuleFailure& failure) {
      return runQuietly(failure, "", [&] { decodePixels(path, expectedBytes, pixels); });
    },
    [](const std::string& folder, std::vector<GdcmScannedFile>& files, ModuleFailure& failure) {
      return runQuietly(failure, "Cannot scan the DICOM folder " + folder + ": ",
                        [&] { scanFolder(folder, files); });
    },
    [](const std::string& path, std::int64_t maxSide, std::int64_t maxBytes,
       GdcmImageGeometry& geometry, std::vector<float>& values, ModuleFailure& failure) {
      return runQuietly(failure, "Cannot read DICOM image " + path + ": ",
                        [&] { decodeImage(path, maxSide, maxBytes, geometry, values); });
    },
};

}  // namespace
}  // namespace pelk

extern "C" __attribute__((visibility("default"))) const pelk::GdcmModule* pelkGdcmModule() {
  return &pelk::kModule;
}
