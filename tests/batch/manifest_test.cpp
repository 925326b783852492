#include "app/batch/manifest.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "app/batch/folder_names.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

struct FolderCase {
  const char* name;
  std::string given;
  std::string kept;  // empty: a suffixed name is expected
};
// Test names show the case by its name, not its bytes.
inline void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }

class FolderNames : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderNames, AreSafeEverywhere) {
  const std::string folder = safeFolderName(GetParam().given);
  if (!GetParam().kept.empty()) {
    EXPECT_EQ(folder, GetParam().kept);
    return;
  }
  EXPECT_NE(folder, GetParam().given);
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.front(), '.');
  EXPECT_LE(folder.size(), 60u);
  for (char c : folder)
    EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-')
        << folder;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FolderNames,
    ::testing::Values(FolderCase{"Safe", "P-001_a.b", "P-001_a.b"},
                      FolderCase{"Slash", "../etc", ""}, FolderCase{"Dot", ".", ""},
                      FolderCase{"DotDot", "..", ""}, FolderCase{"Blank", "Ann Smith", ""},
                      FolderCase{"NonAscii", "M\xC3\xBCller", ""}, FolderCase{"Device", "CON", ""},
                      FolderCase{"DeviceWithExtension", "nul.txt", ""},
                      FolderCase{"TrailingDot", "abc.", ""},
                      FolderCase{"Long", std::string(200, 'a'), ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FolderNamesUnique, WhenOnlyDroppedCharactersDiffer) {
  std::set<std::string> folders;
  for (const char* name : {"a b", "a/b", "a\\b", "a:b", "a_b",
                           "a\xC3\xA9"
                           "b",
                           "a\xC3\xA8"
                           "b"})
    folders.insert(safeFolderName(name));
  EXPECT_EQ(folders.size(), 7u);
}

class ManifestTest : public test::ScratchDirTest {
 protected:
  std::vector<ManifestRow> rows(const std::string& text) {
    test::writeFile("m.csv", text);
    ManifestReader reader("m.csv");
    std::vector<ManifestRow> all;
    for (ManifestRow row; reader.next(row);) all.push_back(row);
    return all;
  }
};

TEST_F(ManifestTest, HeadersWithoutAUsableSetOfColumnsAreRefused) {
  for (const char* header : {"patient,std,ref,third\n", "patient,test,std,ref\n",
                             "patient,test,std,ref,third,baseline,followup1,followup2\n", ""}) {
    test::writeFile("m.csv", header);
    EXPECT_THROW(ManifestReader("m.csv"), std::runtime_error) << header;
  }
}

TEST_F(ManifestTest, RowsThatCannotRunSayWhy) {
  const auto all = rows(
      "test,patient,std,ref,third\n"
      "T1,P1,a.bmp,b.bmp,c.bmp\n"
      "T1,P2,a.bmp\n"
      "T1,P1,x.bmp,y.bmp,z.bmp\n"
      "T2,,a.bmp,b.bmp,c.bmp\n"
      "T3,P1,a.bmp,,c.bmp\n"
      "T1,p1,a.bmp,b.bmp,c.bmp\n"
      "\"T4\"x,P1,a.bmp,b.bmp,c.bmp\n");
  ASSERT_EQ(all.size(), 7u);
  EXPECT_EQ(all[0].error, "");
  EXPECT_EQ(all[0].folder, "P1/T1");
  EXPECT_EQ(all[0].inputs[0], (dir() / "a.bmp").string());
  EXPECT_NE(all[1].error.find("3 fields, the header 5"), std::string::npos);
  EXPECT_EQ(all[2].error, "the same patient and test as row 1");
  EXPECT_NE(all[3].error.find("must not be empty"), std::string::npos);
  EXPECT_EQ(all[4].error, "no ref given");
  // "p1" folds onto "P1" on a case-insensitive file system: a folder of its own.
  EXPECT_EQ(all[5].error, "");
  EXPECT_NE(all[5].folder, "p1/T1");
  EXPECT_NE(all[6].error.find("line 8"), std::string::npos);
}

TEST_F(ManifestTest, RowsSurviveTheTripThroughTheClaimsTable) {
  const auto all = rows(
      "patient,test,baseline,followup1,followup2,date\n"
      "\"A, \"\"B\"\"\",T\xE9,/s/base,f1,\"f\n2\",2026\n");
  ASSERT_EQ(all.size(), 1u);
  const ManifestRow back = ManifestRow::deserialize(all[0].serialize());
  EXPECT_EQ(back.kind, RowKind::Studies);
  EXPECT_EQ(back.patient, all[0].patient);
  EXPECT_EQ(back.test, all[0].test);
  EXPECT_EQ(back.date, "2026");
  EXPECT_EQ(back.inputs, all[0].inputs);
  EXPECT_EQ(back.folder, all[0].folder);
  EXPECT_EQ(back.inputs[0], "/s/base");
}

}  // namespace
}  // namespace pelk
