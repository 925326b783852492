// The results store: what recording a run adds to a command, and how fast a patient's history
// comes back from a large store.
#include <filesystem>

#include "bench/bench_case.h"
#include "common/io_error.h"
#include "store/history_format.h"
#include "store/run_recorder.h"
#include "store/sql_database.h"
#include "workbench/dialogs.h"
#include "workbench/workbench.h"

namespace pelk::bench {
namespace {

class NoDialogs : public Dialogs {
 public:
  std::optional<std::string> openFile(const std::string&) override { return std::nullopt; }
  std::string inputBox(const std::string&, const std::string&, const std::string& t) override {
    return t;
  }
  // Start-up finds no "test101.bmp" in the bench folder; only the command's errors count.
  void showError(const std::string& message) override {
    if (started) throw IoError(message);
  }
  void showMessage(const std::string&) override {}
  bool started = false;
};

// The result files of "7. Synopsis Cocktail 1" on the scans, for the recorder to read back.
void runSynopsis1(const ScanSet& scans) {
  NoDialogs dialogs;
  Workbench w(dialogs);
  dialogs.started = true;
  w.Edit1 = scans.standard;
  w.Edit2 = scans.reference;
  w.SyClick();
}

const StoreLocation kRecordStore{"sqlite:bench-record.sqlite", false};
const StoreLocation kHistoryStore{"sqlite:bench-history.sqlite", false};
constexpr int kStoreRuns = 100000;
constexpr int kPatientRuns = 1000;

// A store of kStoreRuns runs of which every 100th belongs to "patient 0", each with the rank
// results and verdicts a history line shows, written in one statement per table.
void fillHistoryStore(const ScanSet&) {
  std::string path = sqliteStorePath(kHistoryStore.url);
  if (std::filesystem::exists(path)) return;
  ResultStore::open({kHistoryStore.url, false}, true);
  auto db = openSqlite(path, false);
  db->exec("BEGIN");
  db->exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
           std::to_string(kStoreRuns) +
           ") INSERT INTO runs (id, program_version, started_at, ended_at, work_dir, command,"
           " completed, error, patient, test, hospital, test_date)"
           " SELECT i, '0.1.0', strftime('%Y-%m-%dT%H:%M:%fZ', 1700000000 + i * 600, 'unixepoch'),"
           " strftime('%Y-%m-%dT%H:%M:%fZ', 1700000000 + i * 600 + 2, 'unixepoch'), '/data', "
           "'synopsis2',"
           " 1, NULL, 'patient ' || (i % " +
           std::to_string(kStoreRuns / kPatientRuns) +
           "),"
           " 'T1', 'General', '2026-01-01' FROM n");
  for (const char* role : {"standard", "reference", "third"})
    db->exec(std::string("INSERT INTO scans SELECT id, '") + role + "', '" + role +
             ".bmp', 263222, printf('%064d', id), 512, 512 FROM runs");
  db->exec("INSERT INTO rank_results SELECT id, 'RRA-1', 0.202, 0 FROM runs");
  db->exec("INSERT INTO rank_results SELECT id, 'RRA-2', 11.952, 1 FROM runs");
  db->exec(
      "INSERT INTO verdicts SELECT id, 'legacy', 'INCREASING', 484, 1296, NULL, NULL, NULL"
      " FROM runs");
  db->exec(
      "INSERT INTO verdicts SELECT id, 'robust', 'INCREASING', 392, 1052, NULL, NULL, 0"
      " FROM runs");
  db->exec("COMMIT");
  db->exec("ANALYZE");
  // A store filled run by run is checkpointed as it grows; this one was filled in one go.
  db->exec("PRAGMA wal_checkpoint(TRUNCATE)");
}

}  // namespace

void addStoreCases() {
  // A fresh recorder each time: a command-line run opens the store once for its command.
  addCase({"store: record a 7. run (SQLite)", runSynopsis1, [](const ScanSet& scans, Lines*) {
             RunRecorder recorder(kRecordStore, "bench");
             recorder.begin("synopsis1",
                            {scans.standard, scans.reference, scans.third, "P", "T", "H", "D"});
             if (auto warning = recorder.finish(true, "")) throw IoError(*warning);
           }});
  addCase({"store: history of 1,000 runs in 100,000 (SQLite)", fillHistoryStore,
           [](const ScanSet&, Lines*) {
             auto store = ResultStore::open(kHistoryStore, false);
             auto runs = store->history({"patient 0", std::nullopt});
             if (runs.size() != kPatientRuns) throw IoError("history lost runs");
             std::string text = formatHistory(runs, HistoryFormat::kTable);
             if (text.empty()) throw IoError("no history");
           }});
}

}  // namespace pelk::bench
