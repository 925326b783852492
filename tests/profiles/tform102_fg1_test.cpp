#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "profiles/tform102.h"
#include "tests/support/files.h"
#include "tests/support/gate_image.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::GateImage;
using test::readFile;

const std::string kRule(53, '=');
constexpr std::size_t kFg1PixelStart = 1025;

class Fg1Test : public test::ScratchDirTest {
 protected:
  TForm102 form;

  // The log lines FG-1 appended (after the module's welcome lines).
  std::vector<std::string> run(const GateImage& image) {
    image.write("scan.bmp", kFg1PixelStart);
    form.patientMriFile = "scan.bmp";
    form.outputFile = "fg1.txt";
    const std::size_t before = form.Memo1.lines.size();
    form.Button2Click();
    return {form.Memo1.lines.begin() + static_cast<std::ptrdiff_t>(before), form.Memo1.lines.end()};
  }
};

TEST_F(Fg1Test, IntensityOfExactly150IsWrittenButReportedNotSignificant) {
  GateImage image(12, 12);
  image.set(5, 7, 150);
  image.set(8, 2, 149);
  image.set(8, 3, 149);
  image.set(1, 4, 240);  // seeded in row 1: logged as found, never recorded
  form.comments = "checked by hand";
  EXPECT_EQ(run(image),
            (std::vector<std::string>{
                "X size is 12",
                "Y Size is 12",
                "Found Area1:4",
                "Found Area5:7",
                "Found Area8:2",
                "Areas Found = 2",
                "Program Done",
                "8: 2 : 1: 2 : 2 :   149.000 : not significant",
                "5: 7 : 1: 1 : 1 :   150.000 : SIGNIFICANT",
                "",
                kRule,
                "There are 2 cluster(s) found",
                "Cluster     2 has a mean intensity of  150.000 which is not significant.",
                "Also, it is located at (x,y)=     5:    7 and has an area of     1",
                "",
                "checked by hand",
                "Record(s) found     1",
                kRule,
            }));
  EXPECT_EQ(readFile("fg1.txt"), "Edit2;Edit2;Edit3;5;7;1;1;1;  150.000;SIGNIFICANT\r\n");
}

TEST_F(Fg1Test, EqualAreasAreListedBrightestFirst) {
  GateImage image(12, 12);
  image.set(3, 2, 160);
  image.set(5, 2, 220);
  image.set(7, 2, 151);
  image.set(9, 2, 200), image.set(9, 3, 200);
  form.patientName = "Doe";
  form.patientId = "17";
  auto log = run(image);
  EXPECT_EQ(readFile("fg1.txt"),
            "Doe;Doe;17;9;2;1;2;2;  200.000;SIGNIFICANT\r\n"
            "Doe;Doe;17;5;2;1;1;1;  220.000;SIGNIFICANT\r\n"
            "Doe;Doe;17;3;2;1;1;1;  160.000;SIGNIFICANT\r\n"
            "Doe;Doe;17;7;2;1;1;1;  151.000;SIGNIFICANT\r\n");
  EXPECT_EQ(log[log.size() - 12],
            "Cluster     2 has a mean intensity of  220.000 which is SIGNIFICANT.");
  EXPECT_EQ(log[log.size() - 2], "Record(s) found     4");
}

TEST_F(Fg1Test, PixelsStartAtByte1025) {
  GateImage image(12, 12);
  image.set(4, 4, 180);
  std::string bytes = image.bytes(kFg1PixelStart);
  test::writeFile("scan.bmp", bytes);
  form.patientMriFile = "scan.bmp";
  form.outputFile = "fg1.txt";
  form.Button2Click();
  EXPECT_EQ(readFile("fg1.txt"), "Edit2;Edit2;Edit3;4;4;1;1;1;  180.000;SIGNIFICANT\r\n");
}

TEST_F(Fg1Test, BadImagesStopBeforeTheOutputFile) {
  form.outputFile = "fg1.txt";
  form.patientMriFile = "big.bmp";
  test::writeFile("big.bmp", test::bmpBytes(5, 1200, std::string(6000, '\0')));
  EXPECT_THROW(
      try { form.Button2Click(); } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), "Image too large for the gate finder: big.bmp");
        throw;
      },
      IoError);
  EXPECT_EQ(form.Memo1.lines.back(), "Y Size is 1200");

  form.patientMriFile = "short.bmp";
  test::writeFile("short.bmp", GateImage(12, 12).bytes(kFg1PixelStart).substr(0, 1025 + 143));
  EXPECT_THROW(form.Button2Click(), IoError);
  EXPECT_FALSE(test::fileExists("fg1.txt"));
}

}  // namespace
}  // namespace pelk
