#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "importers/scan_import.h"
#include "tests/importers/scan_files.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {
namespace {

class TransferSyntax : public ScratchDirTest {};

// Archives hold every transfer syntax; each must give the very picture of the uncompressed file.
// The compressed files are made from our own with the DICOM toolkit's converter.
TEST_F(TransferSyntax, EveryCompressionGivesTheSamePictureAsTheUncompressedFile) {
  DicomSpec spec;
  spec.columns = 40;
  spec.rows = 32;
  spec.bitsStored = 12;
  for (int y = 0; y < spec.rows; ++y)
    for (int x = 0; x < spec.columns; ++x)
      spec.pixels.push_back(static_cast<std::uint32_t>((x * 97 + y * 31 + x * y) % 4096));
  writeDicom("plain.dcm", spec);
  importScan({"plain.dcm", "plain.bmp", std::nullopt, std::nullopt});
  const std::string expected = readFile("plain.bmp");

  const char* conversions[][2] = {
      {"--j2k", "jpeg2000"}, {"--jpegls", "jpegls"}, {"--rle", "rle"}, {"--jpeg", "jpeg"}};
  for (const auto& [option, name] : conversions) {
    const std::string file = std::string(name) + ".dcm";
    const std::string command = std::string("gdcmconv ") + option + " plain.dcm " + file;
    ASSERT_EQ(std::system(command.c_str()), 0) << command << " failed (Debian libgdcm-tools)";
    importScan({file, std::string(name) + ".bmp", std::nullopt, std::nullopt});
    EXPECT_TRUE(readFile(std::string(name) + ".bmp") == expected) << name;
  }
}

}  // namespace
}  // namespace pelk::test
