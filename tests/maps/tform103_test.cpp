#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "maps/tform103.h"
#include "maps/tform1031.h"
#include "tests/maps/map_files.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::passBitmap;
using test::readFile;
using test::readMap;
using test::writeFile;
using Lines = std::vector<std::string>;

const std::string kFirstLine = "     100       5\r\n";

class MapModuleTest : public test::ScratchDirTest {
 protected:
  void SetUp() override {
    test::ScratchDirTest::SetUp();
    writeFile("a.bmp", passBitmap(120, 90, [](int r, int c) { return (r + c) % 7; }));
    writeFile("b.bmp", passBitmap(101, 101, [](int, int) { return 3; }));
  }
};

TEST_F(MapModuleTest, JobListNamesTheMap1FilesAndEndsWithTheEndEntry) {
  TForm103 form;
  form.setFileNames("std scan.bmp", "ref.bmp");
  EXPECT_EQ(readFile("vmap1.dat"),
            "//x1,y1,filename,patientId,setId,outputfilename);  // 9999 9999 for last entry\r\n"
            "512;512;std scan.bmp;patient-1;set-1;setup101.map1\r\n"
            "460;280;ref.bmp;patient-1;set-2;setup102b.map1\r\n"
            "9999;9999;\r\n");
  const std::string first = readFile("vmap1.dat");
  TForm1031 other;
  other.setFileNames("std scan.bmp", "ref.bmp");
  EXPECT_EQ(readFile("vmap1.dat"), first);
}

TEST_F(MapModuleTest, MakeMap2LogsEachFileBeforeItsSizeAndNothingMore) {
  TForm103 form;
  form.setFileNames("x.bmp", "y.bmp");
  form.makeMap2({"a.bmp", "b.bmp"}, {"setup101.map", "setup102b.map"});
  EXPECT_EQ(form.Memo1.lines,
            (Lines{"Memo1", "Processing File: a.bmp", "X size is 120", "Y Size is 90",
                   "Processing File: b.bmp", "X size is 101", "Y Size is 101"}));
  EXPECT_EQ(readMap("setup101.map").lines[1], "Mean:        1.080");
  EXPECT_EQ(readMap("setup102b.map").cells[100][100], 3);
  // The job list written before is left for the job-list runs.
  EXPECT_NE(readFile("vmap1.dat").find("x.bmp"), std::string::npos);
}

TEST_F(MapModuleTest, MakeMap2KeepsTheFirstMapWhenTheSecondBitmapIsShort) {
  writeFile("short.bmp", passBitmap(300, 300, [](int, int) { return 1; }).substr(0, 5000));
  TForm103 form;
  EXPECT_THROW(form.makeMap2({"a.bmp", "short.bmp"}, {"one.map", "two.map"}), IoError);
  EXPECT_EQ(readMap("one.map").lines.size(), 515u);
  EXPECT_EQ(readFile("two.map"), kFirstLine);
  EXPECT_EQ(form.Memo1.lines.back(), "Y Size is 300");
}

TEST_F(MapModuleTest, MultiCorrelationMapsGoToTheMap1FilesThenDone) {
  TForm1031 form;
  form.setFilenames2("a.bmp", "b.bmp");
  EXPECT_EQ(form.mapOutputs[0], "setup101.map1");
  EXPECT_EQ(form.mapOutputs[1], "setup102b.map1");
  form.makeMap();
  EXPECT_EQ(form.Memo1.lines, (Lines{"Memo1", "X size is 120", "Y Size is 90", "X size is 101",
                                     "Y Size is 101", "Done"}));

  // Both module classes write the same map for the same bitmap.
  TForm103 plain;
  plain.makeMap2({"b.bmp", "a.bmp"}, {"b.map", "a.map"});
  EXPECT_EQ(readFile("setup102b.map1"), readFile("b.map"));
  EXPECT_EQ(readFile("setup101.map1"), readFile("a.map"));
}

TEST_F(MapModuleTest, JobListRunEndsWithDoneProcessingAtTheEndEntryAndDoneWithout) {
  TForm103 form;
  form.setFileNames("a.bmp", "b.bmp");
  form.makeMap();
  EXPECT_EQ(form.Memo1.lines,
            (Lines{"Memo1", "Processing File: a.bmp", "X size is 120", "Y Size is 90",
                   "Processing File: b.bmp", "X size is 101", "Y Size is 101", "Done Processing"}));
  EXPECT_EQ(readMap("setup102b.map1").cells[100][100], 3);

  writeFile("vmap1.dat", "comment\r\n0;0;b.bmp;p;s;last.map");
  TForm103 open;
  open.makeMap();
  EXPECT_EQ(open.Memo1.lines,
            (Lines{"Memo1", "Processing File: b.bmp", "X size is 101", "Y Size is 101", "Done"}));
  EXPECT_EQ(readMap("last.map").lines.size(), 515u);
  open.closeApp();

  std::remove("vmap1.dat");
  TForm103 none;
  EXPECT_THROW(none.makeMap(), IoError);
}

}  // namespace
}  // namespace pelk
