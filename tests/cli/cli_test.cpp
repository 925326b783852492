#include "app/cli/cli_run.h"

#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tests/workbench/scripted_dialogs.h"
#include "tools/sample_set.h"
#include "workbench/workbench.h"

namespace pelk::test {
namespace {

struct CliRun {
  int code = -1;
  std::string out;
  std::string err;
};

class Cli : public ScratchDirTest {
 protected:
  static void writeSamples(const std::string& folder = ".") {
    static const std::vector<SampleScan> samples = makeSampleSet();
    std::filesystem::create_directories(folder);
    for (const auto& scan : samples) writeFile(folder + "/" + scan.name, scan.bytes);
  }
  static CliRun run(std::vector<std::string> args) {
    args.insert(args.begin(), "pelk40-cli");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream out;
    std::ostringstream err;
    CliRun result;
    result.code = runCli(static_cast<int>(argv.size()), argv.data(), out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
  }
  static CliRun runOnSamples(std::vector<std::string> args) {
    std::vector<std::string> all{"--std",         "standard.bmp", "--ref",
                                 "reference.bmp", "--third",      "third.bmp"};
    all.insert(all.end(), args.begin(), args.end());
    return run(all);
  }
};

TEST_F(Cli, PrintsTheResultsAreaWhenEveryCommandCompletes) {
  writeSamples();
  CliRun r = runOnSamples({"plot", "tes"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "Results Area\n\nNo Filename selected\n \nReady\n \n");
}

TEST_F(Cli, FailedCommandIsReportedAndTheNextStillRuns) {
  writeSamples();
  CliRun r = run({"diff", "plot"});  // Edit1 keeps its initial text
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err.rfind("error: diff: ", 0), 0u) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
  EXPECT_EQ(r.out, "Results Area\n\nNo Filename selected\n \nReady\n \n");
}

TEST_F(Cli, OutputsAreWrittenAfterAFailedCommandToo) {
  writeSamples();
  CliRun r = run({"diff", "--results", "out.txt", "--view", "view.bmp"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(readFile("out.txt"), "Results Area\r\n\r\n\r\n");
  EXPECT_TRUE(fileExists("view.bmp"));
}

TEST_F(Cli, StartUpFailureIsReportedWithoutFailingTheRun) {
  CliRun r = run({"plot"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err.rfind("error: start-up: ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("test101.bmp"), std::string::npos);
}

TEST_F(Cli, BadUsageExits2BeforeAnyCommandRuns) {
  writeSamples();
  for (const auto& args : std::vector<std::vector<std::string>>{{"plot", "bogus"},
                                                                {"plot", "--bogus"},
                                                                {},
                                                                {"save-image"},
                                                                {"plot=1"},
                                                                {"--dir", "no-such-folder", "plot"},
                                                                {"--std"}}) {
    CliRun r = runOnSamples(args);
    EXPECT_EQ(r.code, 2) << (args.empty() ? "" : args[0]);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_FALSE(fileExists("vhist3.dat"));
}

TEST_F(Cli, HelpAndVersionExit0) {
  CliRun help = run({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("save-results=NAME"), std::string::npos);
  EXPECT_NE(help.out.find("--third"), std::string::npos);
  CliRun version = run({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out.rfind("pelk40-cli ", 0), 0u);
}

TEST_F(Cli, ResultsFileIsByteIdenticalToSaveResultFile) {
  writeSamples();
  CliRun r = runOnSamples({"rra1", "cluster", "save-results=saved.txt", "--results", "final.txt"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  std::string final = readFile("final.txt");
  EXPECT_EQ(final, readFile("saved.txt"));

  // The window, driven by hand through the same commands.
  ScriptedDialogs dialogs;
  Workbench wb(dialogs);
  wb.Edit1 = "standard.bmp";
  wb.Edit2 = "reference.bmp";
  wb.Button3Click();
  wb.Button8Click();
  dialogs.answers.push_back("window.txt");
  wb.Button12Click();
  EXPECT_EQ(final, readFile("window.txt"));
  EXPECT_EQ(final.substr(final.size() - 4), "\r\n\r\n");
}

TEST_F(Cli, TestInformationGoesIntoReport1) {
  writeSamples();
  CliRun r = run({"--patient", "Ann Smith", "--test", "T-42", "--std", "missing.bmp", "synopsis1"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("\nPatient: Ann Smith\nTest:    T-42\nHospital: *****\nDate:     *****\n"),
            std::string::npos)
      << r.out;
}

TEST_F(Cli, DirResolvesEveryRelativeName) {
  writeSamples("work");
  CliRun r = runOnSamples(
      {"--dir", "work", "diff", "save-image=shot", "--view", "view.bmp", "--results", "out.txt"});
  ASSERT_EQ(r.code, 0) << r.err;
  std::filesystem::current_path(dir());
  for (const char* name :
       {"work/diffbmp.bmp", "work/diffbmp.sql", "work/shot.bmp", "work/view.bmp", "work/out.txt"})
    EXPECT_TRUE(fileExists(name)) << name;
  EXPECT_EQ(readFile("work/view.bmp"), readFile("work/shot.bmp"));
  EXPECT_FALSE(fileExists("diffbmp.bmp"));
}

TEST_F(Cli, EmptyResultNameIsAMessageNotAnError) {
  writeSamples();
  CliRun r = run({"plot", "save-results="});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "save-results=: No file name given\n");
}

TEST_F(Cli, UnwritableOutputsFailTheRun) {
  writeSamples();
  CliRun r = run({"plot", "--results", "no-such-folder/out.txt", "--view", "no-such-folder/v.bmp"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("error: --results: "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("error: --view: "), std::string::npos) << r.err;
}

}  // namespace
}  // namespace pelk::test

namespace pelk::test {
namespace {

TEST_F(Cli, ImportRunsAloneAndReportsItsOwnErrors) {
  CliRun missing = run({"import", "absent.nii", "--out", "scan.bmp"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err.rfind("error: import: ", 0), 0u) << missing.err;
  EXPECT_FALSE(fileExists("scan.bmp"));
  EXPECT_EQ(run({"import"}).code, 2);
  CliRun help = run({"import", "--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("--slice"), std::string::npos);
}

}  // namespace
}  // namespace pelk::test

namespace pelk::test {
namespace {

TEST_F(Cli, RobustProgressionWritesItsFilesAndSectionBesideTheLegacyOnes) {
  writeSamples();
  CliRun r = runOnSamples({"robust-tpa"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Robust Tumour Progression Analysis\n"), std::string::npos);
  EXPECT_NE(r.out.find("Robust verdict: INCREASING\n \nReady\n \n"), std::string::npos);
  for (const char* name : {"progression.json", "progression.txt", "progression.bmp"})
    EXPECT_TRUE(fileExists(name)) << name;
  EXPECT_FALSE(fileExists("tpa.dat"));

  CliRun missing = run({"--std", "standard.bmp", "--ref", "reference.bmp", "robust-tpa", "plot"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err.rfind("error: robust-tpa: ", 0), 0u) << missing.err;
  EXPECT_NE(missing.out.find("No Filename selected"), std::string::npos);
}

// The picture report: written at the end of a run into --dir, or alone for an earlier run's
// folder; the results area of the run stays what it was.
TEST_F(Cli, PictureReportOfARunAndOfAnEarlierRunsFolder) {
  // --dir moves the process into the folder, so every run names it absolutely.
  const std::string work = (dir() / "work").string();
  writeSamples(work);
  const CliRun plain = run({"--dir", work, "--std", "standard.bmp", "--ref", "reference.bmp",
                            "--third", "third.bmp", "synopsis2"});
  const CliRun withReport = run({"--dir", work, "--std", "standard.bmp", "--ref", "reference.bmp",
                                 "--third", "third.bmp", "synopsis2", "--report", "run.html"});
  EXPECT_EQ(withReport.code, 0) << withReport.err;
  EXPECT_EQ(withReport.out, plain.out);
  EXPECT_NE(readFile(work + "/run.html").find("third.bmp"), std::string::npos);

  const struct {
    std::vector<std::string> args;
    int code;
    const char* says;  // in the report written, or on standard error
  } cases[] = {
      {{"report", "--dir", work, "--out", "later.html"}, 0, "Tumour index"},
      {{"report", "--dir", work}, 2, "--out is required"},
      {{"report", "--dir", work, "--out", "no-such/later.html"}, 1, "error: report: "},
      {{"--dir", work, "plot", "--report", "no-such/r.html"}, 1, "error: --report: "},
  };
  for (const auto& c : cases) {
    const CliRun r = run(c.args);
    EXPECT_EQ(r.code, c.code) << c.args.back() << ": " << r.err;
    const std::string where = c.code == 0 ? readFile(work + "/later.html") : r.err;
    EXPECT_NE(where.find(c.says), std::string::npos) << c.args.back() << ": " << r.err;
  }
}

}  // namespace
}  // namespace pelk::test
