// Every malformed input of the table through every module reader of its kind, with sound files
// beside it: each reader completes or ends with a clear IoError, the input's main reader ends
// exactly as the table says, and a failed analysis keeps its earlier results.
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/bmp_header.h"
#include "common/io_error.h"
#include "common/picture.h"
#include "maps/tform103.h"
#include "maps/tform1031.h"
#include "maps/tform104.h"
#include "maps/tform120.h"
#include "profiles/tform101.h"
#include "profiles/tform102.h"
#include "regions/tform130.h"
#include "regions/tform150.h"
#include "regions/tform170.h"
#include "sqlexport/sql_export.h"
#include "tests/robustness/bad_inputs.h"
#include "tests/robustness/robustness_fixture.h"
#include "tests/support/files.h"
#include "workbench/read_img_file.h"

namespace pelk::test {
namespace {

struct Reader {
  const char* name;
  std::function<void(const BadInput&)> run;
};

std::string standardOf(const BadInput& in) {
  return in.role == Role::Standard ? in.fileName : kSoundScan;
}
std::string referenceOf(const BadInput& in) {
  return in.role == Role::Reference ? in.fileName : kSoundScan2;
}

// A failed rank analysis must not leave a result it did not compute.
void rankAnalysis1(const std::string& first, const std::string& second) {
  TForm102 form;
  form.rra1Value = -7.0;
  try {
    form.performRRA1(first, second);
  } catch (const IoError&) {
    EXPECT_EQ(form.rra1Value, -7.0);
    throw;
  }
}

void rankAnalysis2(const std::string& first, const std::string& second) {
  TForm102 form;
  form.rra2Value = -7.0;
  form.setRRA2Files(first, second);
  try {
    form.performRRA2();
  } catch (const IoError&) {
    EXPECT_EQ(form.rra2Value, -7.0);
    throw;
  }
}

void mapJobList(const std::string& standard, const std::string& reference) {
  TForm103 form;
  form.setFileNames(standard, reference);
}

std::vector<Reader> readersOf(InputKind kind) {
  switch (kind) {
    case InputKind::Bitmap:
      return {
          {"gate finder",
           [](const BadInput& in) {
             TForm130 form;
             form.setFileNames(in.fileName, "cluster1.db.txt");
             form.doCluster();
           }},
          {"header reader",
           [](const BadInput& in) {
             ModuleLog log;
             readBmpSize(in.fileName, log);
           }},
          {"profiles",
           [](const BadInput& in) {
             TForm101 form;
             form.MakeParam2Files({standardOf(in), referenceOf(in)},
                                  {"setup101.param1", "setup101b.param1"});
           }},
          {"map pass",
           [](const BadInput& in) {
             TForm103 form;
             form.makeMap2({standardOf(in), referenceOf(in)}, {"setup101.map", "setup102b.map"});
           }},
          {"map1 pass",
           [](const BadInput& in) {
             TForm1031 form;
             form.setFilenames2(standardOf(in), referenceOf(in));
             form.makeMap();
           }},
          {"coarse map pass",
           [](const BadInput& in) {
             mapJobList(standardOf(in), referenceOf(in));
             TForm103 form;
             form.Button1Click();
           }},
          {"difference image",
           [](const BadInput& in) {
             TForm120 form;
             form.setFileNames(standardOf(in), referenceOf(in));
             form.doDiffBmp();
           }},
          {"gate finder Start",
           [](const BadInput& in) {
             TForm130 form;
             form.imageFile = in.fileName;
             form.Button1Click();
           }},
          {"FG-1",
           [](const BadInput& in) {
             TForm102 form;
             form.patientMriFile = in.fileName;
             form.outputFile = "fg1.txt";
             form.Button2Click();
           }},
          {"view",
           [](const BadInput& in) {
             Picture view;
             readImgFile(in.fileName, view);
           }},
          {"difference script",
           [](const BadInput& in) { diffbmpSql(in.fileName, "patient1", "test1"); }},
      };
    case InputKind::Profile:
      return {
          {"RRA-1", [](const BadInput& in) { rankAnalysis1(in.fileName, kSoundProfile); }},
          {"RRA-1 reference",
           [](const BadInput& in) { rankAnalysis1(kSoundProfile, in.fileName); }},
          {"ZCHS",
           [](const BadInput& in) {
             TForm170 form;
             form.doZchs(in.fileName, kSoundProfile);
           }},
          {"profile script",
           [](const BadInput& in) { param1Sql(in.fileName, "patient1", "test1"); }},
      };
    case InputKind::Map:
      return {
          {"RRA-2", [](const BadInput& in) { rankAnalysis2(in.fileName, kSoundMap); }},
          {"RRA-2 reference", [](const BadInput& in) { rankAnalysis2(kSoundMap, in.fileName); }},
          {"MCHS",
           [](const BadInput& in) {
             TForm104 form;
             Picture view;
             form.performMCHS(in.fileName, kSoundMap, view);
           }},
          {"false colour",
           [](const BadInput& in) {
             TForm104 form;
             Picture view;
             paintFalseColor(form, view, kSoundMap, in.fileName);
           }},
          {"MCHS test grid",
           [](const BadInput& in) {
             writeFile("setup102b.map", readFile(kSoundMap));
             TForm104 form;
             form.setFileNames(in.fileName, "setup102b.map");
             form.scanTestGrid();
           }},
          {"map script", [](const BadInput& in) { map1Sql(in.fileName, "patient1", "test1"); }},
      };
    case InputKind::ClusterSummary:
      return {
          {"tumour progression",
           [](const BadInput& in) {
             TForm150 form;
             form.setClusterFileNames(in.fileName, kSoundSummary);
             form.doTumorAnalysis();
           }},
          {"tumour progression second",
           [](const BadInput& in) {
             TForm150 form;
             form.setClusterFileNames(kSoundSummary, in.fileName);
             form.doTumorAnalysis();
           }},
          {"cluster script",
           [](const BadInput& in) { cluster1Sql(in.fileName, "patient1", "test1"); }},
      };
    case InputKind::ZoneList:
      return {
          {"zone script", [](const BadInput& in) { zchsSql(in.fileName, "patient1", "test1"); }}};
    case InputKind::TpaFile:
      return {{"tpa script", [](const BadInput& in) { tpaSql(in.fileName, "patient1", "test1"); }}};
    case InputKind::JobList:
      return {
          {"profile job list",
           [](const BadInput&) {
             TForm101 form;
             form.MakeParam1Files();
           }},
          {"profile Run",
           [](const BadInput&) {
             TForm101 form;
             form.Button1Click();
           }},
          {"map job list",
           [](const BadInput& in) {
             writeFile("vmap1.dat", readFile(in.fileName));
             TForm103 form;
             form.makeMap();
           }},
      };
  }
  return {};
}

class BadInputModules : public BadInputFolder {};

TEST_P(BadInputModules, EveryReaderCompletesOrEndsWithAClearError) {
  const BadInput& input = GetParam();
  bool primary = true;
  for (const Reader& reader : readersOf(input.kind)) {
    SCOPED_TRACE(reader.name);
    // Each reader meets the bad input as the table made it, whatever the one before wrote.
    std::error_code ignored;
    std::filesystem::remove(input.fileName, ignored);
    input.make(input.fileName);
    std::string error;
    try {
      reader.run(input);
    } catch (const IoError& e) {
      error = e.what();
      EXPECT_FALSE(error.empty());
    }
    if (primary && input.expected != kEitherOutcome) {
      if (input.expected.empty()) EXPECT_EQ(error, "") << "the main reader should complete";
      else EXPECT_NE(error.find(input.expected), std::string::npos) << "error: " << error;
    }
    primary = false;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, BadInputModules, ::testing::ValuesIn(badInputs()),
                         [](const auto& info) { return testName(info.param); });

TEST(BadInputTable, HoldsAtLeastFortyInputsWithDistinctNames) {
  std::set<std::string> names;
  for (const BadInput& input : badInputs())
    EXPECT_TRUE(names.insert(testName(input)).second) << testName(input);
  EXPECT_GE(names.size(), 40u);
  EXPECT_GE(badInputsOnce().size(), 40u);
}

}  // namespace
}  // namespace pelk::test
