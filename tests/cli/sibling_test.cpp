// pelk40-cli run as a process: it maps none of the imaging libraries, hands the imaging words
// to pelk40-imaging with the command line unchanged, and says so plainly when that is missing.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {
namespace {

using SiblingProcess = ScratchDirTest;

std::string outputOf(const std::string& command) {
  std::string text;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return text;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) text.append(chunk, n);
  ::pclose(pipe);
  return text;
}

// Neither loaded as shared libraries nor linked into it from archives.
TEST(LightCli, HoldsNoImagingLibrary) {
  const std::string listing = outputOf("ldd " PELK40_CLI " 2>&1");
  ASSERT_TRUE(listing.find("libc.so") != std::string::npos ||
              listing.find("statically linked") != std::string::npos ||
              listing.find("not a dynamic executable") != std::string::npos)
      << listing;
  const std::string symbols = outputOf("nm -C " PELK40_CLI " 2>&1");
  ASSERT_NE(symbols.find("pelk::Workbench::"), std::string::npos) << "no symbols to check";
  for (const char* heavy : {"opencv", "libdcm", "libofstd", "gdcm", "ITK", "itk", "nifti", "znz",
                            "libpq", "Qt6", "chrom"})
    EXPECT_EQ(listing.find(heavy), std::string::npos) << heavy << " in\n" << listing;
  for (const char* code : {"cv::", "itk::", "gdcm::", "DcmDataset", "nifti_image_read", "PQexec",
                           "QObject", "QWidget"})
    EXPECT_EQ(symbols.find(code), std::string::npos) << code << " linked in";
}

// The imaging programs start without the imaging toolkits, each of which takes milliseconds to
// load: the module holding each lies beside the programs, for the first work that needs it.
TEST(ImagingProgram, StartsWithoutTheImagingToolkits) {
  const std::filesystem::path folder = std::filesystem::path(PELK40_CLI).parent_path();
  const std::pair<const char*, const char*> modules[] = {{"pelk40-gdcm.so", "libgdcmMSFF"},
                                                         {"pelk40-dcmtk.so", "libdcmdata"},
                                                         {"pelk40-opencv.so", "libopencv_video"},
                                                         {"pelk40-itk.so", "libITKOptimizersv4"}};
  for (const char* program : {"pelk40-imaging", "pelk40"}) {
    if (!std::filesystem::exists(folder / program)) continue;  // the window is not built
    const std::string listing = outputOf("ldd " + (folder / program).string() + " 2>&1");
    ASSERT_NE(listing.find("libstdc++"), std::string::npos) << listing;
    for (const auto& [module, library] : modules)
      EXPECT_EQ(listing.find(library), std::string::npos) << program << " links " << library;
  }
  for (const auto& [module, library] : modules)
    EXPECT_NE(outputOf("ldd " + (folder / module).string() + " 2>&1").find(library),
              std::string::npos)
        << module;
}

// Laid out by lld from the list (app/CMakeLists.txt), the functions a command line runs lie in one
// stretch of the code; linked otherwise, they lie where the archives put them, and there is
// nothing to check.
TEST(LightCli, CommandLineCodeLiesTogether) {
  if (outputOf("readelf -p .comment " PELK40_CLI " 2>&1").find("LLD") == std::string::npos)
    GTEST_SKIP() << "not laid out by lld";
  std::ifstream list(PELK40_CLI_ORDER);
  const std::set<std::string> listed{std::istream_iterator<std::string>(list), {}};
  std::istringstream symbols(outputOf("nm --defined-only " PELK40_CLI " 2>&1"));
  std::uintptr_t codeStart = UINTPTR_MAX, codeEnd = 0, listedStart = UINTPTR_MAX, listedEnd = 0;
  std::size_t found = 0;
  for (std::string line; std::getline(symbols, line);) {
    std::istringstream fields(line);
    std::uintptr_t address = 0;
    std::string type, name;
    if (!(fields >> std::hex >> address >> type >> name) || (type != "t" && type != "T")) continue;
    codeStart = std::min(codeStart, address);
    codeEnd = std::max(codeEnd, address);
    if (!listed.contains(name)) continue;
    ++found;
    listedStart = std::min(listedStart, address);
    listedEnd = std::max(listedEnd, address);
  }
  ASSERT_GT(found, listed.size() / 2) << "the list names few of the program's functions";
  EXPECT_LT(listedEnd - listedStart, (codeEnd - codeStart) / 3)
      << "listed functions spread over " << (listedEnd - listedStart) << " of "
      << (codeEnd - codeStart) << " bytes of code";
}

TEST_F(SiblingProcess, ImagingWordsRunInTheSiblingWithTheSameContract) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string errStart;
  };
  const Case cases[] = {
      // Handed over: the sibling's own import usage error and missing-file error.
      {{"import"}, 2, "error: import: SOURCE is required"},
      {{"import", "absent.nii", "--out", "scan.bmp"}, 1, "error: import: "},
      // Handed over after the light program checked the line; later legacy words run there too.
      {{"--std", "absent.bmp", "robust-tpa", "tes"}, 1, "error: start-up: "},
      // A bad line is refused by the light program before anything is handed over.
      {{"robust-tpa", "no-such-word"}, 2, "pelk40-cli: unknown command: no-such-word"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv{PELK40_CLI};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const Finished run = runProcess(argv);
    EXPECT_TRUE(run.exited) << c.args[0];
    EXPECT_EQ(run.status, c.status) << c.args[0] << "\n" << run.err;
    EXPECT_EQ(run.err.rfind(c.errStart, 0), 0u) << c.args[0] << "\n" << run.err;
  }
  const Finished both = runProcess({PELK40_CLI, "--std", "absent.bmp", "robust-tpa", "tes"});
  EXPECT_NE(both.err.find("error: robust-tpa: File not found: absent.bmp"), std::string::npos);
  EXPECT_NE(both.out.find("Results Area\n"), std::string::npos) << both.out;
}

TEST_F(SiblingProcess, MissingSiblingIsAClearErrorAndLegacyWordsStillRun) {
  const std::filesystem::path lone = dir() / "pelk40-cli";
  std::filesystem::copy_file(PELK40_CLI, lone);
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } cases[] = {
      {{"robust-tpa"},
       1,
       "pelk40-cli: robust-tpa needs pelk40-imaging, which is not installed beside pelk40-cli ("},
      {{"import", "a.nii", "--out", "a.bmp"},
       1,
       "pelk40-cli: import needs pelk40-imaging, which is not installed beside pelk40-cli ("},
      {{"tes"}, 0, "error: start-up: File not found: test101.bmp"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> argv{lone.string()};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const Finished run = runProcess(argv);
    EXPECT_TRUE(run.exited) << c.args[0];
    EXPECT_EQ(run.status, c.status) << c.args[0] << "\n" << run.err;
    EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << c.args[0] << "\n" << run.err;
  }
}

}  // namespace
}  // namespace pelk::test
