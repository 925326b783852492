#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "profiles/tform101.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::crlfLines;
using test::fileExists;
using test::readFile;
using test::writeFile;

// The profile passes read the file from its first byte, header included. These streams control
// every byte: the header reader looks only at bytes 18-19 and 22-23, so all other bytes come
// from `value(position)`.
std::string rawStream(int width, int height, const std::function<int(long long)>& value) {
  std::string s(static_cast<std::size_t>(width) * height + 1078, '\0');
  for (std::size_t i = 0; i < s.size(); ++i)
    s[i] = static_cast<char>(value(static_cast<long long>(i)));
  s[18] = static_cast<char>(width & 0xFF);
  s[19] = static_cast<char>((width >> 8) & 0xFF);
  s[22] = static_cast<char>(height & 0xFF);
  s[23] = static_cast<char>((height >> 8) & 0xFF);
  return s;
}

struct ProfileRow {
  long long band, mean, peak, median, adjusted;
};

std::vector<ProfileRow> profileRows(const std::string& path) {
  std::vector<std::string> lines = crlfLines(readFile(path));
  std::vector<ProfileRow> rows;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    ProfileRow r{};
    std::sscanf(lines[i].c_str(), "%lld %lld %lld %lld %lld", &r.band, &r.mean, &r.peak, &r.median,
                &r.adjusted);
    rows.push_back(r);
  }
  return rows;
}

FileNames10 names(const std::string& a, const std::string& b) {
  FileNames10 n;
  n[0] = a;
  n[1] = b;
  return n;
}

class Profiles : public test::ScratchDirTest {
 protected:
  TForm101 module;
  void build(const std::string& a, const std::string& b) {
    module.MakeParam2Files(names(a, b), names("setup101.param1", "setup101b.param1"));
  }
};

TEST_F(Profiles, A512SquareImageReportsBands0To99AndLeavesBands100To102Out) {
  writeFile("a.bmp", rawStream(512, 512, [](long long) { return 9; }));
  writeFile("b.bmp", rawStream(512, 512, [](long long) { return 9; }));
  build("a.bmp", "b.bmp");
  std::string text = readFile("setup101.param1");
  std::vector<std::string> lines = crlfLines(text);
  ASSERT_EQ(lines.size(), 101u);
  EXPECT_EQ(lines[0], "     100       5");
  // Band 0 covers positions 0-2, band k positions 5k-2..5k+2; 498..511 fall in bands 100-102.
  EXPECT_EQ(lines[1], "       0       9       9       9    1536");
  EXPECT_EQ(lines[100], "      99       9       9       9    2560");
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  EXPECT_EQ(
      module.Memo1.lines,
      (std::vector<std::string>{"Memo1", "Processing File: a.bmp", "X size is 512", "Y Size is 512",
                                "Processing File: b.bmp", "X size is 512", "Y Size is 512"}));
}

TEST_F(Profiles, BandWidthTwoSendsTiesToTheEvenBand) {
  // Width 200: bandX = Round(1.99) = 2, so positions 0,1 | 2 | 3,4,5 | 6 | 7,8,9 ...
  writeFile("a.bmp", rawStream(200, 52, [](long long) { return 7; }));
  build("a.bmp", "a.bmp");
  auto rows = profileRows("setup101.param1");
  ASSERT_EQ(rows.size(), 100u);
  EXPECT_EQ(rows[0].adjusted, 2 * 52);
  EXPECT_EQ(rows[1].adjusted, 1 * 52);
  EXPECT_EQ(rows[2].adjusted, 3 * 52);
  EXPECT_EQ(rows[3].adjusted, 1 * 52);
  EXPECT_EQ(rows[4].adjusted, 3 * 52);
}

TEST_F(Profiles, A460By280ImageHasEmptyBandsAbove92) {
  // Two zero bytes at positions 0 and 1 make hist[0][0] = 2, so empty bands report 1 - 2.
  writeFile("a.bmp", rawStream(460, 280, [](long long i) { return i < 2 ? 0 : 7; }));
  build("a.bmp", "a.bmp");
  auto rows = profileRows("setup101.param1");
  EXPECT_EQ(rows[92].adjusted, 2 * 280 - 2);
  for (int s = 93; s < 100; ++s) {
    EXPECT_EQ(rows[s].mean, 0) << s;
    EXPECT_EQ(rows[s].peak, 1) << s;
    EXPECT_EQ(rows[s].median, 0) << s;
    EXPECT_EQ(rows[s].adjusted, -1) << s;
  }
  EXPECT_EQ(crlfLines(readFile("setup101.param1"))[94], "      93       0       1       0      -1");
  // bandY = Round(2.79) = 3: band 0 of the second pass holds positions 0 and 1 of each of the
  // 460 chunks of 280 bytes; its two zero bytes stay out of the count but not out of the median.
  std::vector<std::string> db = crlfLines(readFile("vhist3.db.txt"));
  ASSERT_EQ(db.size(), 200u);
  EXPECT_EQ(db[0], ";;0;918;7;7;7");
  EXPECT_EQ(db[92], ";;92;" + std::to_string(3 * 460) + ";7;7;7");
  // Bands run up to Round(279 / 3) = 93; an empty band counts 1 and has peak 1.
  EXPECT_EQ(db[99], ";;99;1;0;1;0");
}

TEST_F(Profiles, ABandSplitEvenlyBetweenTwoGreysTakesTheLowerAsItsMedian) {
  // Rows of 512 bytes alternate between grey 10 and grey 20, so every band of either pass holds
  // as many 10s as 20s: the median is the first grey whose running count reaches half the band.
  writeFile("a.bmp", rawStream(512, 512, [](long long i) { return (i / 512) % 2 ? 20 : 10; }));
  build("a.bmp", "a.bmp");
  auto rows = profileRows("setup101.param1");
  std::vector<std::string> db = crlfLines(readFile("vhist3.db.txt"));
  for (int s : {1, 2, 50, 99}) {
    EXPECT_EQ(rows[s].mean, 15) << s;
    EXPECT_EQ(rows[s].median, 10) << s;
    EXPECT_EQ(db[s].substr(db[s].rfind(';')), ";10") << db[s];
  }
}

TEST_F(Profiles, AnAllZeroBandHasMeanZeroAndPeakOne) {
  // Width 100 x 300: bandX = Round(0.99) = 1, one position per band; position 1 is always 0.
  writeFile("a.bmp", rawStream(100, 300, [](long long i) { return i % 100 == 1 ? 0 : 50; }));
  build("a.bmp", "a.bmp");
  auto rows = profileRows("setup101.param1");
  EXPECT_EQ(rows[1].mean, 0);
  EXPECT_EQ(rows[1].peak, 1);
  EXPECT_EQ(rows[2].mean, 50);
  EXPECT_EQ(rows[2].peak, 50);
}

TEST_F(Profiles, TheJobListEntryPointLabelsDatabaseLinesAndASecondRunReplacesThem) {
  writeFile("std.bmp", rawStream(100, 100, [](long long) { return 3; }));
  writeFile("ref.bmp", rawStream(100, 100, [](long long) { return 4; }));
  module.SetupParam1("std.bmp", "ref.bmp");
  EXPECT_EQ(readFile("vhist3.dat"),
            "//x1,y1,filename,patientId,setId,outputfilename);  // 9999 9999 for last entry\r\n"
            "512;512;std.bmp;patient-1;set-1;setup101.param1;\r\n"
            "460;280;ref.bmp;patient-1;set-2;setup101b.param1;\r\n"
            "9999;9999;\r\n");
  module.MakeParam1Files();
  module.MakeParam1Files();
  std::vector<std::string> db = crlfLines(readFile("vhist3.db.txt"));
  ASSERT_EQ(db.size(), 200u);
  EXPECT_EQ(db[0].substr(0, 18), "patient-1;set-1;0;");
  EXPECT_EQ(db[100].substr(0, 18), "patient-1;set-2;0;");
  EXPECT_TRUE(fileExists("setup101b.param1"));
  EXPECT_EQ(module.Memo1.lines.back(), "Done");
  EXPECT_EQ(module.Memo1.lines.size(), 1u + 2 * (6 + 1));
}

TEST_F(Profiles, TheModulesOwnRunStopsAtTheEndEntry) {
  writeFile("std.bmp", rawStream(100, 100, [](long long) { return 3; }));
  module.SetupParam1("std.bmp", "std.bmp");
  module.Button1Click();
  EXPECT_EQ(module.Memo1.lines.back(), "Done Processing");
  TForm101 noList;
  std::filesystem::remove("vhist3.dat");
  noList.MakeParam1Files();
  EXPECT_EQ(noList.Memo1.lines, (std::vector<std::string>{"Memo1", "Done"}));
}

TEST_F(Profiles, UnreadableImagesStopBeforeTheirProfileIsCreated) {
  writeFile("good.bmp", rawStream(100, 100, [](long long) { return 3; }));
  EXPECT_THROW(build("good.bmp", "missing.bmp"), IoError);
  EXPECT_TRUE(fileExists("setup101.param1"));
  EXPECT_FALSE(fileExists("setup101b.param1"));
  EXPECT_EQ(crlfLines(readFile("vhist3.db.txt")).size(), 100u);
  std::vector<std::string> tail(module.Memo1.lines.end() - 2, module.Memo1.lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"Processing File: missing.bmp",
                                            "Error: cannot read image missing.bmp"}));

  std::string stream = rawStream(100, 100, [](long long) { return 3; });
  writeFile("short.bmp", stream.substr(0, 100 * 100 - 1));
  TForm101 shortModule;
  try {
    shortModule.MakeParam2Files(names("short.bmp", "good.bmp"), names("p1", "p2"));
    FAIL();
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "Read beyond end of file: short.bmp");
  }
  EXPECT_FALSE(fileExists("p1"));
  EXPECT_EQ(shortModule.Memo1.lines.back(), "Error: cannot read image short.bmp");
  EXPECT_EQ(shortModule.Memo1.lines[3], "Y Size is 100");

  writeFile("header.bmp", stream.substr(0, 21));
  TForm101 headerModule;
  EXPECT_THROW(headerModule.MakeParam2Files(names("header.bmp", "good.bmp"), names("p1", "p2")),
               IoError);
  EXPECT_EQ(headerModule.Memo1.lines,
            (std::vector<std::string>{"Memo1", "Processing File: header.bmp", "X size is 100",
                                      "Error: cannot read image header.bmp"}));
}

TEST_F(Profiles, ImagesNarrowerOrLowerThan52AreRefused) {
  writeFile("narrow.bmp", rawStream(51, 200, [](long long) { return 3; }));
  writeFile("flat.bmp", rawStream(0, 200, [](long long) { return 3; }));
  for (const char* name : {"narrow.bmp", "flat.bmp"}) {
    TForm101 m;
    try {
      m.MakeParam2Files(names(name, name), names("p1", "p2"));
      FAIL();
    } catch (const IoError& e) {
      EXPECT_EQ(std::string(e.what()),
                std::string("Image too small for histogram profiles: ") + name);
    }
    EXPECT_FALSE(fileExists("p1"));
  }
}

}  // namespace
}  // namespace pelk
