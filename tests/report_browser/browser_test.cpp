// Renders the picture report of the sample scans in a real browser, as a person would open and
// print it, and checks what they would see.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "tests/report/png_decode.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

int run(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool onPath(const char* program) {
  return run(std::string("command -v ") + program + " >/dev/null 2>&1") == 0;
}

std::string chromium(const std::string& profile, const std::string& what) {
  return "timeout 180 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
         "--disable-background-networking --disable-component-update --disable-sync "
         "--user-data-dir=" +
         profile + " " + what + " >chromium.log 2>&1";
}

class ReportInBrowser : public test::ScratchDirTest {};

TEST_F(ReportInBrowser, SampleRunRendersWholeAndPrintsToCleanA4Pages) {
  for (const char* tool : {"chromium", "tidy", "pdfinfo", "pdftotext"})
    ASSERT_TRUE(onPath(tool)) << tool << " is missing: scripts/setup-deps installs it";
  const std::string dir = std::filesystem::current_path().string();
  ASSERT_EQ(run(std::string(MAKE_SAMPLES) + " . >/dev/null"), 0);
  ASSERT_EQ(run(std::string(PELK40_CLI) +
                " --std standard.bmp --ref reference.bmp --third third.bmp"
                " synopsis1 synopsis2 robust-tpa --results report.txt --report report.html"),
            0);

  const std::string html = test::readFile("report.html");
  EXPECT_LT(html.size(), 3u << 20);
  EXPECT_EQ(run("tidy -e -q report.html >tidy.log 2>&1"), 0) << test::readFile("tidy.log");
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_FALSE(std::regex_search(html, std::regex("(src|href)=\"(https?:)?//")));
  // Three scans, the difference image, the MCHS marks and the robust overlay.
  const auto pictures = test::inlinePngs(html);
  EXPECT_EQ(pictures.size(), 6u);
  for (const auto& png : pictures) {
    const auto decoded = test::decodePng(png);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 512);
  }

  const std::string page = "file://" + dir + "/report.html";
  ASSERT_EQ(run(chromium(dir + "/profile-shot",
                         "--window-size=1200,2400 --screenshot=" + dir + "/shot.png " + page)),
            0)
      << test::readFile("chromium.log");
  const auto shot = test::decodePng(test::readFile("shot.png"));
  ASSERT_TRUE(shot);
  // The scans' black surroundings fill much of the first screens; a page of broken-image boxes
  // or a blank page would be nearly all white.
  std::size_t dark = 0;
  for (std::size_t i = 0; i < shot->rgb.size(); i += 3)
    dark += shot->rgb[i] < 40 && shot->rgb[i + 1] < 40;
  EXPECT_GT(dark, shot->rgb.size() / 3 / 10);

  ASSERT_EQ(run(chromium(dir + "/profile-pdf",
                         "--no-pdf-header-footer --print-to-pdf=" + dir + "/report.pdf " + page)),
            0)
      << test::readFile("chromium.log");
  ASSERT_EQ(run("pdfinfo report.pdf >pdfinfo.txt"), 0);
  const std::string info = test::readFile("pdfinfo.txt");
  std::smatch pages, size;
  ASSERT_TRUE(std::regex_search(info, pages, std::regex("Pages:\\s+(\\d+)")));
  EXPECT_GE(std::stoi(pages[1]), 3);
  EXPECT_LE(std::stoi(pages[1]), 6);
  EXPECT_TRUE(std::regex_search(info, size, std::regex("\\(A4\\)"))) << info;

  // No word runs past the right edge of an A4 page (595 points wide).
  ASSERT_EQ(run("pdftotext -bbox report.pdf words.html"), 0);
  const std::string words = test::readFile("words.html");
  const std::regex box("xMax=\"([0-9.]+)\"");
  int count = 0;
  for (std::sregex_iterator it(words.begin(), words.end(), box), end; it != end; ++it, ++count)
    EXPECT_LE(std::stod((*it)[1]), 595.0) << "a word overflows the page";
  EXPECT_GT(count, 100);
}

}  // namespace
}  // namespace pelk
