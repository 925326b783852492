#include <filesystem>
#include <string>

#include <gdcmAttribute.h>
#include <gdcmImageWriter.h>

#include <gtest/gtest.h>

#include "studies/scan_or_series.h"
#include "studies/study_reader.h"
#include "tests/studies/study_files.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {
namespace {

// Slice k of `volume` as one MR image file of series `uid`.
void writeSlice(const std::string& path, const StudyVolume& volume, std::int64_t k,
                const std::string& uid) {
  gdcm::ImageWriter writer;
  gdcm::Image& image = writer.GetImage();
  image.SetNumberOfDimensions(2);
  image.SetDimension(0, static_cast<unsigned>(volume.size[0]));
  image.SetDimension(1, static_cast<unsigned>(volume.size[1]));
  image.SetPixelFormat(gdcm::PixelFormat::UINT16);
  image.SetPhotometricInterpretation(gdcm::PhotometricInterpretation::MONOCHROME2);
  image.SetSpacing(0, volume.spacingMm[0]);
  image.SetSpacing(1, volume.spacingMm[1]);
  const Vec3 position = volume.pointMm(0, 0, static_cast<double>(k));
  for (unsigned r = 0; r < 3; ++r) image.SetOrigin(r, position[r]);
  const double cosines[6] = {volume.axes[0][0], volume.axes[0][1], volume.axes[0][2],
                             volume.axes[1][0], volume.axes[1][1], volume.axes[1][2]};
  image.SetDirectionCosines(cosines);
  std::string pixels;
  for (std::int64_t j = 0; j < volume.size[1]; ++j)
    for (std::int64_t i = 0; i < volume.size[0]; ++i) {
      const auto v = static_cast<std::uint16_t>(volume.values[volume.index(i, j, k)]);
      pixels.push_back(static_cast<char>(v & 0xFF));
      pixels.push_back(static_cast<char>(v >> 8));
    }
  gdcm::DataElement data(gdcm::Tag(0x7fe0, 0x0010));
  data.SetByteValue(pixels.data(), static_cast<std::uint32_t>(pixels.size()));
  image.SetDataElement(data);
  gdcm::DataSet& set = writer.GetFile().GetDataSet();
  gdcm::Attribute<0x0008, 0x0016> sopClass{"1.2.840.10008.5.1.4.1.1.4"};
  gdcm::Attribute<0x0020, 0x000e> series{uid.c_str()};
  set.Replace(sopClass.GetAsDataElement());
  set.Replace(series.GetAsDataElement());
  writer.SetFileName(path.c_str());
  ASSERT_TRUE(writer.Write()) << path;
}

class DicomFolder : public ScratchDirTest {};

// File names in no particular order, a shorter second series beside: the folder gives the longer
// series, its slices in their order in space, with the spacing between them.
TEST_F(DicomFolder, ReadsTheLargestSeriesInSpatialOrder) {
  StudyVolume head = smallHead();
  for (auto& v : head.values) v = static_cast<float>(static_cast<std::uint16_t>(v));
  std::filesystem::create_directory("series");
  for (std::int64_t k = 0; k < head.size[2]; ++k)
    writeSlice("series/im" + std::to_string((k * 7) % head.size[2] + 100), head, k, "1.2.3.4");
  for (std::int64_t k = 0; k < 3; ++k)
    writeSlice("series/loc" + std::to_string(k), head, k, "1.2.3.5");

  const StudyVolume read = readStudy("series");
  ASSERT_EQ(read.size, head.size);
  EXPECT_NEAR(read.spacingMm[2], head.spacingMm[2], 1e-6);
  EXPECT_TRUE(read.values == head.values) << "slices out of order";
  EXPECT_NE(read.description.find("1.2.3.4"), std::string::npos) << read.description;
  EXPECT_NE(read.description.find("largest of 2 series"), std::string::npos) << read.description;

  // The import dialog takes the same folder as one scan across the series' slices.
  const ScanVolume scan = readScanOrSeries("series");
  EXPECT_EQ(scan.sliceCount(), head.size[2]);
  EXPECT_TRUE(scan.values == head.values);
}

}  // namespace
}  // namespace pelk::test
