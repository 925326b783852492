#include "store/result_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "store/schema.h"
#include "store/sql_database.h"
#include "tests/store/store_backends.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {
namespace {

RunRecord fullRun(std::string patient, std::string startedAt) {
  RunRecord run;
  run.programVersion = "0.1.0";
  run.startedAt = startedAt;
  run.endedAt = startedAt;
  run.workDir = "/data/scans";
  run.command = "synopsis2";
  run.patient = std::move(patient);
  run.test = "T1 axial";
  run.hospital = "St. Ann's";
  run.testDate = "2026-03-01";
  run.scans = {{"standard", "a.bmp", 263222, std::string(64, 'a'), 512, 512},
               {"reference", "b.bmp", std::nullopt, std::nullopt, std::nullopt, std::nullopt}};
  RunResults& r = run.results;
  r.rank = {{"RRA-1", 0.202, false}, {"RRA-2", 11.952, true}};
  r.mchs = {{1, 239, 125, 1217.113, 170, 186}, {2, 239, 128, 1020.696, 170, 185}};
  r.zchs = {{1, 25.0, 3.0}, {2, 27.0, 2.0}};
  r.clusters = {{1, 1, 305, 316, 22, 22, 484, 141.715, 254, 251},
                {2, 1, 298, 315, 36, 36, 1296, 142.616, 262, 250}};
  r.progression = LegacyProgression{{484, 484, 484, 141.715, 141.715, 141.715, 202.041},
                                    {1296, 1296, 1296, 142.616, 142.616, 142.616, 467.779},
                                    "INCREASING"};
  r.robust = RobustProgression{"INCREASING",
                               392,
                               1052,
                               24.5,
                               std::nullopt,
                               1,
                               {{1, 392, 24.5, 68.68, 317.5, 195.5, false},
                                {2, 1052, std::nullopt, 69.36, 317.5, 195.5, true}}};
  return run;
}

void expectSameRun(const RunRecord& a, const RunRecord& b) {
  EXPECT_EQ(a.patient, b.patient);
  EXPECT_EQ(a.test, b.test);
  EXPECT_EQ(a.hospital, b.hospital);
  EXPECT_EQ(a.testDate, b.testDate);
  EXPECT_EQ(a.command, b.command);
  EXPECT_EQ(a.startedAt, b.startedAt);
  ASSERT_EQ(a.scans.size(), b.scans.size());
  for (std::size_t i = 0; i < a.scans.size(); ++i) {
    EXPECT_EQ(a.scans[i].path, b.scans[i].path);
    EXPECT_EQ(a.scans[i].sha256, b.scans[i].sha256);
    EXPECT_EQ(a.scans[i].size, b.scans[i].size);
    EXPECT_EQ(a.scans[i].width, b.scans[i].width);
  }
  const RunResults &x = a.results, &y = b.results;
  ASSERT_EQ(x.rank.size(), y.rank.size());
  for (std::size_t i = 0; i < x.rank.size(); ++i) {
    EXPECT_EQ(x.rank[i].result, y.rank[i].result);
    EXPECT_EQ(x.rank[i].significant, y.rank[i].significant);
  }
  ASSERT_EQ(x.mchs.size(), y.mchs.size());
  for (std::size_t i = 0; i < x.mchs.size(); ++i) {
    EXPECT_EQ(x.mchs[i].value, y.mchs[i].value);
    EXPECT_EQ(x.mchs[i].yb, y.mchs[i].yb);
  }
  ASSERT_EQ(x.zchs.size(), y.zchs.size());
  EXPECT_EQ(x.zchs.back().difference, y.zchs.back().difference);
  ASSERT_EQ(x.clusters.size(), y.clusters.size());
  for (std::size_t i = 0; i < x.clusters.size(); ++i) {
    EXPECT_EQ(x.clusters[i].group, y.clusters[i].group);
    EXPECT_EQ(x.clusters[i].area, y.clusters[i].area);
    EXPECT_EQ(x.clusters[i].intensity, y.clusters[i].intensity);
  }
  ASSERT_EQ(x.progression.has_value(), y.progression.has_value());
  if (x.progression) {
    EXPECT_EQ(x.progression->group2.tumorIndex, y.progression->group2.tumorIndex);
    EXPECT_EQ(x.progression->verdict, y.progression->verdict);
  }
  ASSERT_EQ(x.robust.has_value(), y.robust.has_value());
  if (x.robust) {
    EXPECT_EQ(x.robust->burden2, y.robust->burden2);
    EXPECT_EQ(x.robust->burden1Mm2, y.robust->burden1Mm2);
    EXPECT_EQ(x.robust->burden2Mm2, y.robust->burden2Mm2);
    ASSERT_EQ(x.robust->components.size(), y.robust->components.size());
    EXPECT_EQ(x.robust->components[1].isNew, y.robust->components[1].isNew);
    EXPECT_EQ(x.robust->components[0].areaMm2, y.robust->components[0].areaMm2);
  }
}

class ResultStoreTest : public ScratchDirTest, public ::testing::WithParamInterface<Backend> {};

TEST_P(ResultStoreTest, KeepsEveryValueOfARunAsRecorded) {
  ScratchStore scratch(GetParam());
  auto store = ResultStore::open(scratch.location(), true);
  RunRecord run = fullRun("Doe, Jane", "2026-03-01T10:00:00.000Z");
  std::int64_t id = store->record(run);
  expectSameRun(run, store->run(id));
  // Another connection sees the same: the run was committed.
  expectSameRun(run, ResultStore::open(scratch.location(), false)->run(id));
}

TEST_P(ResultStoreTest, NamesOfAnyFormAreBoundNeverSpliced) {
  ScratchStore scratch(GetParam());
  auto store = ResultStore::open(scratch.location(), true);
  struct Case {
    std::string patient;
    std::string storedAs;
  };
  const std::vector<Case> cases = {
      {"O'Brien \"Pat\"", "O'Brien \"Pat\""},
      {"x'); DROP TABLE runs; --", "x'); DROP TABLE runs; --"},
      {std::string(10000, 'p'), std::string(10000, 'p')},
      {"M\xfcller \xe9\x80", "M\xef\xbf\xbdller \xef\xbf\xbd\xef\xbf\xbd"},
      {"Zo\xc3\xab", "Zo\xc3\xab"},
  };
  for (const Case& c : cases) store->record(fullRun(c.patient, "2026-01-01T00:00:00.000Z"));
  for (const Case& c : cases) {
    auto runs = store->history({c.storedAs, std::nullopt});
    ASSERT_EQ(runs.size(), 1u) << c.storedAs.substr(0, 40);
    EXPECT_EQ(runs[0].patient, c.storedAs);
  }
  EXPECT_EQ(store->history({}).size(), cases.size());
}

TEST_P(ResultStoreTest, HistoryIsOnePatientsRunsSinceADateOldestFirst) {
  ScratchStore scratch(GetParam());
  auto store = ResultStore::open(scratch.location(), true);
  store->record(fullRun("B", "2026-05-02T08:00:00.000Z"));
  store->record(fullRun("A", "2026-04-01T09:00:00.000Z"));
  store->record(fullRun("B", "2026-02-10T08:00:00.000Z"));
  store->record(fullRun("B", "2026-03-01T00:00:00.000Z"));
  struct Case {
    HistoryQuery query;
    std::vector<std::string> started;
  };
  const std::vector<Case> cases = {
      {{"B", std::nullopt},
       {"2026-02-10T08:00:00.000Z", "2026-03-01T00:00:00.000Z", "2026-05-02T08:00:00.000Z"}},
      {{"B", "2026-03-01"}, {"2026-03-01T00:00:00.000Z", "2026-05-02T08:00:00.000Z"}},
      {{std::nullopt, "2026-04"}, {"2026-04-01T09:00:00.000Z", "2026-05-02T08:00:00.000Z"}},
      {{"C", std::nullopt}, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> started;
    for (const RunSummary& r : store->history(c.query)) started.push_back(r.startedAt);
    EXPECT_EQ(started, c.started);
  }
  auto timeline = store->progressionTimeline("B");
  ASSERT_EQ(timeline.size(), 3u);
  EXPECT_EQ(timeline[0].legacy->burden2, 1296);
  EXPECT_EQ(timeline[0].robust->verdict, "INCREASING");
  EXPECT_EQ(timeline[0].rra2->result, 11.952);
}

TEST_P(ResultStoreTest, ARunIsStoredWholeOrNotAtAll) {
  ScratchStore scratch(GetParam());
  auto store = ResultStore::open(scratch.location(), true);
  store->prepareRecording();
  // Two blocks of one run with the same number: the rows before them must not stay, and the
  // connection takes the next run.
  RunRecord clash = fullRun("P", "2026-01-01T00:00:00.000Z");
  clash.results.mchs.insert(clash.results.mchs.end(), 20, clash.results.mchs.back());
  EXPECT_THROW(store->record(clash), StoreError);
  EXPECT_TRUE(store->history({}).empty());
  store->record(fullRun("P", "2026-01-02T00:00:00.000Z"));
  EXPECT_EQ(store->history({}).size(), 1u);
  // A table the last rows of a run go to is missing.
  scratch.exec("DROP TABLE robust_components");
  EXPECT_THROW(store->record(fullRun("P", "2026-01-03T00:00:00.000Z")), StoreError);
  EXPECT_EQ(store->history({}).size(), 1u);
}

TEST_P(ResultStoreTest, NewerStoreIsRefusedAndLeftAsItIs) {
  ScratchStore scratch(GetParam());
  ResultStore::open(scratch.location(), true)->record(fullRun("P", "2026-01-01T00:00:00.000Z"));
  scratch.exec("UPDATE schema_version SET version = " + std::to_string(kSchemaVersion + 1));
  for (bool forWriting : {true, false}) {
    try {
      ResultStore::open(scratch.location(), forWriting);
      ADD_FAILURE() << "a newer store was opened";
    } catch (const StoreError& e) {
      EXPECT_NE(std::string(e.what()).find("newer than this program"), std::string::npos);
    }
  }
  scratch.exec("UPDATE schema_version SET version = " + std::to_string(kSchemaVersion));
  EXPECT_EQ(ResultStore::open(scratch.location(), false)->history({}).size(), 1u);
}

TEST_P(ResultStoreTest, AnOlderStoreIsMigratedKeepingItsRunsAndThenKeepsStudies) {
  ScratchStore scratch(GetParam());
  ResultStore::open(scratch.location(), true)->record(fullRun("P", "2026-01-01T00:00:00.000Z"));
  // The store as the first version left it: no tables for studies, the blocks and regions in
  // tables with an index beside them.
  const std::string asIndexed =
      GetParam() == Backend::kSqlite
          ? "CREATE TABLE m1 AS SELECT * FROM mchs_blocks; DROP TABLE mchs_blocks;"
            " ALTER TABLE m1 RENAME TO mchs_blocks;"
            " CREATE TABLE c1 AS SELECT * FROM cluster_regions; DROP TABLE cluster_regions;"
            " ALTER TABLE c1 RENAME TO cluster_regions;"
          : "ALTER TABLE mchs_blocks DROP CONSTRAINT mchs_blocks_pkey;"
            " ALTER TABLE cluster_regions DROP CONSTRAINT cluster_regions_pkey;";
  scratch.exec(asIndexed +
               "CREATE INDEX mchs_blocks_by_run ON mchs_blocks (run_id);"
               " CREATE INDEX cluster_regions_by_run ON cluster_regions (run_id);"
               " DROP TABLE study_lesions; DROP TABLE study_followups; DROP TABLE study_results;"
               " UPDATE schema_version SET version = 1");
  auto store = ResultStore::open(scratch.location(), true);
  RunRecord study = fullRun("P", "2026-02-01T00:00:00.000Z");
  study.command = "study";
  study.results = {};
  study.results.study =
      StudyProgression{"/data/base-study",
                       {{"f1.nii.gz", {1.5, -2.0, 0.25}, {3.0, -4.5, 6.0}, -0.61234, true},
                        {"f2 \"moved\".nii.gz", {-3.0, 0.5, 2.0}, {-5.0, 7.0, 0.5}, -0.5, false}},
                       88,
                       "INCREASING",
                       {905.125, 1811.5},
                       906.375,
                       0.0,
                       1,
                       {{1, 905.125, {10.5, -20.25, 30.0}, 61.5, false},
                        {2, 1811.5, {11.0, -20.0, 30.5}, 64.0, true}}};
  const RunRecord back = store->run(store->record(study));
  ASSERT_TRUE(back.results.study);
  const StudyProgression &x = *study.results.study, &y = *back.results.study;
  EXPECT_EQ(y.folder, x.folder);
  EXPECT_EQ(y.slice, x.slice);
  EXPECT_EQ(y.verdict, x.verdict);
  EXPECT_EQ(y.burdenMm3, x.burdenMm3);
  EXPECT_EQ(y.growthMm3, x.growthMm3);
  EXPECT_EQ(y.shrinkageMm3, x.shrinkageMm3);
  EXPECT_EQ(y.newLesions, x.newLesions);
  ASSERT_EQ(y.followUps.size(), 2u);
  EXPECT_EQ(y.followUps[1].path, x.followUps[1].path);
  EXPECT_EQ(y.followUps[0].rotationDeg, x.followUps[0].rotationDeg);
  EXPECT_EQ(y.followUps[0].translationMm, x.followUps[0].translationMm);
  EXPECT_EQ(y.followUps[1].converged, false);
  ASSERT_EQ(y.lesions.size(), 2u);
  EXPECT_EQ(y.lesions[1].centroidMm, x.lesions[1].centroidMm);
  EXPECT_TRUE(y.lesions[1].isNew);
  auto runs = store->history({"P", std::nullopt});
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_TRUE(runs[0].legacy);  // the run from before the migration is still whole
  expectSameRun(fullRun("P", "2026-01-01T00:00:00.000Z"), store->run(runs[0].id));
  ASSERT_TRUE(runs[1].study);
  EXPECT_EQ(runs[1].study->verdict, "INCREASING");
  EXPECT_EQ(runs[1].study->burden2Mm3, 1811.5);
}

// Closing leaves SQLite's log behind; the next writer to open a store whose log has grown long
// copies it back and cuts it, keeping every run and the schema as they were.
TEST_F(ScratchDirTest, ALongLogIsCopiedBackByTheNextWriter) {
  ScratchStore scratch(Backend::kSqlite);
  const std::string path = scratch.location().url.substr(7);
  ResultStore::open(scratch.location(), true)->record(fullRun("P", "2026-01-01T00:00:00.000Z"));
  scratch.exec("CREATE TABLE padding (x BLOB); INSERT INTO padding VALUES (zeroblob(2000000))");
  ASSERT_GT(std::filesystem::file_size(path + "-wal"), 2000000u);

  auto store = ResultStore::open(scratch.location(), true);
  EXPECT_LT(std::filesystem::file_size(path + "-wal"), 20000u);
  store->record(fullRun("P", "2026-02-01T00:00:00.000Z"));
  EXPECT_EQ(store->history({"P", std::nullopt}).size(), 2u);
  auto version = openSqlite(path, false)->query("SELECT version FROM schema_version");
  EXPECT_EQ(sqlInt(version.at(0).at(0)), kSchemaVersion);
}

// Parameters are written "$1" for both databases; a "$1" inside quoted text is text.
TEST_F(ScratchDirTest, AParameterSignInQuotedTextIsText) {
  auto rows = openSqlite("quoted.sqlite", true)
                  ->query("SELECT '$1 and ''$2''', $1, $2", {std::int64_t{7}, std::string("x")});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(sqlText(rows[0][0]), "$1 and '$2'");
  EXPECT_EQ(sqlInt(rows[0][1]), 7);
  EXPECT_EQ(sqlText(rows[0][2]), "x");
}

INSTANTIATE_TEST_SUITE_P(Both, ResultStoreTest, ::testing::ValuesIn(kBackends),
                         [](const auto& info) { return backendName(info.param); });

}  // namespace
}  // namespace pelk::test
