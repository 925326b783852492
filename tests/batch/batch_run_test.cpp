// pelk40-batch run as a process on manifests with every kind of bad row, rows that hang, crash or
// are stopped, and a second worker on the same folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "tests/batch/batch_process.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {
namespace {

namespace fs = std::filesystem;

void writeScan(const std::string& path, int seed) {
  writeBmp(path, 64, 64, [seed](int row, int col) { return (row * 7 + col * 3 + seed) % 200; });
}

class BatchRunTest : public ScratchDirTest {
 protected:
  // A stand-in for pelk40-cli whose rows behave as the patient's name says; what it proves is
  // how the batch treats a row process, not what the workbench computes.
  void writeRowProgram() {
    writeFile("row.sh",
              "#!/bin/sh\n"
              "for a; do case \"$a\" in --dir=*) dir=${a#--dir=};; --patient=*) "
              "p=${a#--patient=};; esac; done\n"
              "echo $$ > \"$dir/pid\"\n"
              "case \"$p\" in\n"
              "  hang*) exec sleep 60;;\n"
              "  crash) kill -SEGV $$;;\n"
              "  limit) echo \"limit $(ulimit -v)\" >&2; exit 3;;\n"
              "  *) echo 'Result: 1.000 Determination: Significant' > \"$dir/results.txt\";;\n"
              "esac\n");
    fs::permissions("row.sh", fs::perms::owner_all);
  }
  std::vector<std::pair<std::string, std::string>> rowProgramEnv() {
    return {{"PELK40_BATCH_ROW_PROGRAM", (dir() / "row.sh").string()}};
  }
  void writeScriptedManifest(const std::vector<std::string>& patients) {
    writeScan("s.bmp", 0);
    std::string text = "patient,test,std,ref,third\n";
    for (const std::string& p : patients) text += p + ",T,s.bmp,s.bmp,s.bmp\n";
    writeFile("m.csv", text);
  }
};

struct RowExpectation {
  std::string status;
  std::string error;  // a part of the error text
};

TEST_F(BatchRunTest, BadRowsFailWithTheirReasonAndTheOthersComplete) {
  writeScan("std.bmp", 0);
  writeScan("ref.bmp", 1);
  writeScan("third.bmp", 2);
  writeFile("short.bmp", "BM too short");
  fs::create_directory("folder.bmp");
  fs::create_directory("my scans");
  writeScan("my scans/st\xE9 d.bmp", 0);
  writeFile("m.csv",
            "patient,test,hospital,date,std,ref,third\r\n"
            "P1,T1,H,2026,std.bmp,ref.bmp,third.bmp\r\n"
            "P2,T1,H,2026,missing.bmp,ref.bmp,third.bmp\r\n"
            "P3,T1,H,2026,short.bmp,ref.bmp,third.bmp\r\n"
            "P4,T1,H,2026,folder.bmp,ref.bmp,third.bmp\r\n"
            "P5,T1,H\r\n"
            "P1,T1,H,2026,std.bmp,ref.bmp,third.bmp\r\n"
            "P6,T1,H,2026,my scans/st\xE9 d.bmp,ref.bmp,third.bmp\r\n"
            "\"Ann\r\nSmith\",\"T, 1\",H,2026,std.bmp,std.bmp,third.bmp\r\n");
  const std::vector<RowExpectation> expected = {
      {"completed", ""},
      {"failed", "cannot read the std scan " + (dir() / "missing.bmp").string() + ": not found"},
      {"failed", "commands: exit status 1: error: rra1: "},
      {"failed", "folder.bmp: not a regular file"},
      {"failed", "has 3 fields, the header 7"},
      {"failed", "the same patient and test as row 1"},
      {"completed", ""},
      {"completed", ""}};

  BatchProcess batch =
      BatchProcess::start({"m.csv", "--out", "out", "--jobs", "2", "--commands", "rra1"});
  ASSERT_EQ(batch.wait(), 1) << batch.err();
  const auto summary = readSummary("out");
  ASSERT_EQ(summary.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(column(summary[i], "status"), expected[i].status) << "row " << i + 1;
    EXPECT_NE(column(summary[i], "error").find(expected[i].error), std::string::npos)
        << "row " << i + 1 << ": " << column(summary[i], "error");
    if (expected[i].status == "completed") {
      EXPECT_FALSE(column(summary[i], "rra1").empty()) << "row " << i + 1;
      EXPECT_TRUE(fileExists("out/" + column(summary[i], "folder") + "/results.txt"));
    }
  }
  EXPECT_EQ(column(summary[7], "patient"), "Ann\r\nSmith");

  // Again, with one input changed: completed rows are skipped, the rest run again.
  writeScan("ref.bmp", 5);
  writeFile("short.bmp", "still short");
  BatchProcess again =
      BatchProcess::start({"m.csv", "--out", "out", "--commands", "rra1"}, {}, "again");
  ASSERT_EQ(again.wait(), 1) << again.err();
  const auto rerun = readSummary("out");
  EXPECT_EQ(column(rerun[0], "skipped"), "no");  // ref.bmp changed
  EXPECT_EQ(column(rerun[6], "skipped"), "no");
  EXPECT_EQ(column(rerun[7], "skipped"), "yes");
  EXPECT_EQ(column(rerun[7], "status"), "completed");
  EXPECT_NE(again.out().find("skipped 1 that had completed with the same inputs; ran 0 new, 1 "
                             "that had failed before, 2 whose inputs had changed"),
            std::string::npos)
      << again.out();
}

TEST_F(BatchRunTest, RowsThatHangCrashOrHitTheLimitFailAndTheOthersGoOn) {
  writeRowProgram();
  writeScriptedManifest({"hang", "crash", "limit", "fine"});
  BatchProcess batch = BatchProcess::start(
      {"m.csv", "--out", "out", "--jobs", "4", "--timeout", "2", "--memory", "256"},
      rowProgramEnv());
  ASSERT_EQ(batch.wait(), 1) << batch.err();
  const auto summary = readSummary("out");
  ASSERT_EQ(summary.size(), 4u);
  const std::vector<RowExpectation> expected = {
      {"failed", "commands: timed out after 2 s"},
      {"failed", "commands: killed by signal 11 (SIGSEGV)"},
      {"failed", "commands: exit status 3: limit 262144"},
      {"completed", ""}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(column(summary[i], "status"), expected[i].status) << "row " << i + 1;
    EXPECT_EQ(column(summary[i], "error"), expected[i].error) << "row " << i + 1;
  }
  EXPECT_EQ(column(summary[3], "rra1"), "Significant");
}

TEST_F(BatchRunTest, StoppingEndsRowsInFlightAndLeavesNoneLookingComplete) {
  writeRowProgram();
  writeScriptedManifest({"hang", "hang2", "fine"});
  BatchProcess batch =
      BatchProcess::start({"m.csv", "--out", "out", "--jobs", "2"}, rowProgramEnv());
  ASSERT_TRUE(
      eventually(30, [] { return fileExists("out/hang/T/pid") && fileExists("out/hang2/T/pid"); }));

  // A second worker on the same folder is turned away while the first runs.
  BatchProcess second = BatchProcess::start({"m.csv", "--out", "out"}, rowProgramEnv(), "second");
  EXPECT_EQ(second.wait(), 2);
  EXPECT_NE(second.err().find("another batch is already running on out"), std::string::npos)
      << second.err();

  ::kill(batch.pid, SIGINT);
  EXPECT_EQ(batch.wait(30), 130) << batch.err();
  for (const char* row : {"out/hang/T/pid", "out/hang2/T/pid"}) {
    const pid_t child = std::stoi(readFile(row));
    EXPECT_TRUE(eventually(5, [child] { return ::kill(child, 0) != 0; })) << "row still running";
  }
  const auto summary = readSummary("out");
  ASSERT_EQ(summary.size(), 3u);
  EXPECT_EQ(column(summary[0], "status"), "failed");
  EXPECT_EQ(column(summary[0], "error"), "stopped by a signal to the batch before it ended");
  EXPECT_EQ(column(summary[2], "status"), "not run");
}

TEST_F(BatchRunTest, StudyRowsFailClearlyWhenTheStudyStepFails) {
  fs::create_directory("base");
  writeFile("base/slice1.dcm", "not really");
  writeFile("f1.nii", "x");
  writeFile("f2.nii", "y");
  writeFile("m.csv", "patient,test,baseline,followup1,followup2\nP1,T1,base,f1.nii,f2.nii\n");
  BatchProcess batch = BatchProcess::start({"m.csv", "--out", "out", "--commands", "plot"});
  ASSERT_EQ(batch.wait(), 1) << batch.err();
  const auto summary = readSummary("out");
  ASSERT_EQ(summary.size(), 1u);
  EXPECT_EQ(column(summary[0], "status"), "failed");
  EXPECT_EQ(column(summary[0], "error").rfind("study: exit status ", 0), 0u)
      << column(summary[0], "error");
  EXPECT_FALSE(fileExists("out/P1/T1/results.txt"));  // the commands never ran
}

}  // namespace
}  // namespace pelk::test
