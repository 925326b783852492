#include "store/schema.h"

#include <string>

namespace pelk {
namespace {

// The first column of every table that holds a part of a run.
std::string child() { return "run_id BIGINT NOT NULL REFERENCES runs(id) ON DELETE CASCADE"; }

// The columns after run_id of the two tables that version 3 rebuilt.
constexpr const char* kMchsBlockColumns =
    ", idx INTEGER NOT NULL, x INTEGER NOT NULL, y INTEGER NOT NULL,"
    " value DOUBLE PRECISION NOT NULL, xb INTEGER NOT NULL, yb INTEGER NOT NULL";
constexpr const char* kClusterRegionColumns =
    ", grp INTEGER NOT NULL, idx INTEGER NOT NULL, x1 INTEGER NOT NULL, y1 INTEGER NOT NULL,"
    " dx INTEGER NOT NULL, dy INTEGER NOT NULL, area INTEGER NOT NULL,"
    " intensity DOUBLE PRECISION NOT NULL, xb INTEGER NOT NULL, yb INTEGER NOT NULL";

std::string idColumn(SqlDialect d) {
  return d == SqlDialect::kSqlite ? "id INTEGER PRIMARY KEY"
                                  : "id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY";
}

// Version 1: one row per command run, its scans and its results as typed rows.
std::string version1(SqlDialect d) {
  return "CREATE TABLE runs (" + idColumn(d) +
         ", program_version TEXT NOT NULL, started_at TEXT NOT NULL, ended_at TEXT NOT NULL,"
         " work_dir TEXT NOT NULL, command TEXT NOT NULL, completed INTEGER NOT NULL,"
         " error TEXT, patient TEXT NOT NULL, test TEXT NOT NULL, hospital TEXT NOT NULL,"
         " test_date TEXT NOT NULL);"
         "CREATE INDEX runs_by_patient_date ON runs (patient, started_at);"
         "CREATE INDEX runs_by_date ON runs (started_at);"
         "CREATE TABLE scans (" +
         child() +
         ", role TEXT NOT NULL, path TEXT NOT NULL, size BIGINT, sha256 TEXT, width INTEGER,"
         " height INTEGER);"
         "CREATE INDEX scans_by_run ON scans (run_id);"
         "CREATE TABLE rank_results (" +
         child() +
         ", analysis TEXT NOT NULL, result DOUBLE PRECISION NOT NULL,"
         " significant INTEGER NOT NULL);"
         "CREATE INDEX rank_results_by_run ON rank_results (run_id);"
         "CREATE TABLE mchs_blocks (" +
         child() + kMchsBlockColumns +
         ");"
         "CREATE INDEX mchs_blocks_by_run ON mchs_blocks (run_id);"
         "CREATE TABLE zchs_zones (" +
         child() +
         ", idx INTEGER NOT NULL, zone DOUBLE PRECISION NOT NULL,"
         " difference DOUBLE PRECISION NOT NULL);"
         "CREATE INDEX zchs_zones_by_run ON zchs_zones (run_id);"
         "CREATE TABLE cluster_regions (" +
         child() + kClusterRegionColumns +
         ");"
         "CREATE INDEX cluster_regions_by_run ON cluster_regions (run_id);"
         "CREATE TABLE progression (" +
         child() +
         ", grp INTEGER NOT NULL, total_area DOUBLE PRECISION NOT NULL,"
         " mean_area DOUBLE PRECISION NOT NULL, median_area DOUBLE PRECISION NOT NULL,"
         " total_intensity DOUBLE PRECISION NOT NULL, mean_intensity DOUBLE PRECISION NOT NULL,"
         " median_intensity DOUBLE PRECISION NOT NULL, tumor_index DOUBLE PRECISION NOT NULL);"
         "CREATE INDEX progression_by_run ON progression (run_id);"
         "CREATE TABLE verdicts (" +
         child() +
         ", kind TEXT NOT NULL, verdict TEXT NOT NULL, burden1 DOUBLE PRECISION,"
         " burden2 DOUBLE PRECISION, burden1_mm2 DOUBLE PRECISION,"
         " burden2_mm2 DOUBLE PRECISION, new_lesions INTEGER);"
         "CREATE INDEX verdicts_by_run ON verdicts (run_id);"
         "CREATE TABLE robust_components (" +
         child() +
         ", idx INTEGER NOT NULL, followup INTEGER NOT NULL, area BIGINT NOT NULL, area_mm2 DOUBLE "
         "PRECISION,"
         " mean_change DOUBLE PRECISION NOT NULL, centroid_x DOUBLE PRECISION NOT NULL,"
         " centroid_y DOUBLE PRECISION NOT NULL, is_new INTEGER NOT NULL);"
         "CREATE INDEX robust_components_by_run ON robust_components (run_id);";
}

// Version 2: the comparisons of whole 3-D studies, volumes in mm3; and the indexes the history
// reads by hold what it reads, so it never looks up the rows themselves (a patient's runs lie
// all over a large store: the history of 1,000 runs in 100,000 went from 62 to 47 ms).
std::string version2(SqlDialect) {
  return "DROP INDEX scans_by_run; CREATE INDEX scans_by_run ON scans (run_id, role, path);"
         "DROP INDEX rank_results_by_run;"
         "CREATE INDEX rank_results_by_run ON rank_results (run_id, analysis, result, significant);"
         "DROP INDEX verdicts_by_run;"
         "CREATE INDEX verdicts_by_run ON verdicts (run_id, kind, verdict, burden1, burden2,"
         " burden1_mm2, burden2_mm2);"
         "CREATE TABLE study_results (" +
         child() +
         ", folder TEXT NOT NULL, slice BIGINT NOT NULL, verdict TEXT, burden1_mm3 DOUBLE "
         "PRECISION NOT NULL,"
         " burden2_mm3 DOUBLE PRECISION, growth_mm3 DOUBLE PRECISION,"
         " shrinkage_mm3 DOUBLE PRECISION, new_lesions INTEGER NOT NULL);"
         "CREATE INDEX study_results_by_run ON study_results (run_id);"
         "CREATE TABLE study_followups (" +
         child() +
         ", followup INTEGER NOT NULL, path TEXT NOT NULL, rotation_x_deg DOUBLE PRECISION NOT "
         "NULL, rotation_y_deg DOUBLE PRECISION NOT NULL, rotation_z_deg DOUBLE PRECISION NOT NULL,"
         " translation_x_mm DOUBLE PRECISION NOT NULL, translation_y_mm DOUBLE PRECISION NOT NULL,"
         " translation_z_mm DOUBLE PRECISION NOT NULL, metric DOUBLE PRECISION NOT NULL,"
         " converged INTEGER NOT NULL);"
         "CREATE INDEX study_followups_by_run ON study_followups (run_id);"
         "CREATE TABLE study_lesions (" +
         child() +
         ", idx INTEGER NOT NULL, followup INTEGER NOT NULL, volume_mm3 DOUBLE PRECISION NOT NULL,"
         " centroid_x_mm DOUBLE PRECISION NOT NULL, centroid_y_mm DOUBLE PRECISION NOT NULL,"
         " centroid_z_mm DOUBLE PRECISION NOT NULL, mean_change DOUBLE PRECISION NOT NULL,"
         " is_new INTEGER NOT NULL);"
         "CREATE INDEX study_lesions_by_run ON study_lesions (run_id);";
}

// Version 3: the thousands of highlighted blocks and cluster regions of a run are kept in the
// order of their run and number instead of in a table with an index beside it, so storing a row
// writes one tree, not two (storing a "7." run: the bulk of its time was these rows). SQLite keeps
// such a table without row ids; PostgreSQL gets the same key.
std::string version3(SqlDialect d) {
  if (d == SqlDialect::kPostgres)
    return "ALTER TABLE mchs_blocks ADD PRIMARY KEY (run_id, idx); DROP INDEX mchs_blocks_by_run;"
           "ALTER TABLE cluster_regions ADD PRIMARY KEY (run_id, grp, idx);"
           "DROP INDEX cluster_regions_by_run;";
  return "CREATE TABLE mchs_blocks_v3 (" + child() + kMchsBlockColumns +
         ", PRIMARY KEY (run_id, idx)) WITHOUT ROWID;"
         "INSERT INTO mchs_blocks_v3 SELECT run_id, idx, x, y, value, xb, yb FROM mchs_blocks;"
         "DROP TABLE mchs_blocks; ALTER TABLE mchs_blocks_v3 RENAME TO mchs_blocks;"
         "CREATE TABLE cluster_regions_v3 (" +
         child() + kClusterRegionColumns +
         ", PRIMARY KEY (run_id, grp, idx)) WITHOUT ROWID;"
         "INSERT INTO cluster_regions_v3 SELECT run_id, grp, idx, x1, y1, dx, dy, area, intensity,"
         " xb, yb FROM cluster_regions;"
         "DROP TABLE cluster_regions; ALTER TABLE cluster_regions_v3 RENAME TO cluster_regions;";
}

// migrations[v] brings a store of version v to v + 1.
using Migration = std::string (*)(SqlDialect);
constexpr Migration kMigrations[] = {&version1, &version2, &version3};
static_assert(std::size(kMigrations) == kSchemaVersion);

bool hasVersionTable(SqlDatabase& db) {
  std::string sql = db.dialect() == SqlDialect::kSqlite
                        ? "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = $1"
                        : "SELECT 1 FROM information_schema.tables WHERE table_name = $1 AND "
                          "table_schema = current_schema()";
  return !db.query(sql, {std::string("schema_version")}).empty();
}

int readVersion(SqlDatabase& db) {
  if (!hasVersionTable(db)) return 0;
  auto rows = db.query("SELECT version FROM schema_version");
  return rows.empty() ? 0 : static_cast<int>(sqlInt(rows[0][0]));
}

// A store at this version is opened by every command: it answers from its version table at
// once, and only a new or unknown file needs the catalogue looked at. (A failed statement would
// end a PostgreSQL transaction, so there the catalogue is always asked first.)
int readVersionQuickly(SqlDatabase& db) {
  if (db.dialect() == SqlDialect::kSqlite) {
    try {
      auto rows = db.query("SELECT version FROM schema_version");
      return rows.empty() ? 0 : static_cast<int>(sqlInt(rows[0][0]));
    } catch (const StoreError&) {
      // no version table yet, or not a store at all: the full look says which
    }
  }
  return readVersion(db);
}

void refuseNewer(int version) {
  if (version > kSchemaVersion)
    throw StoreError("the store has schema version " + std::to_string(version) +
                     ", newer than this program's " + std::to_string(kSchemaVersion) +
                     "; it was left unchanged (use a newer program)");
}

}  // namespace

int schemaVersion(SqlDatabase& db) { return readVersionQuickly(db); }

void prepareSchema(SqlDatabase& db) {
  int version = readVersionQuickly(db);
  refuseNewer(version);
  if (version == kSchemaVersion) return;  // the usual case: no write lock taken

  SqlTransaction tx(db);
  if (db.dialect() == SqlDialect::kPostgres) {
    // Two first writers must not both create the tables; SQLite's write lock does this there.
    db.exec("SELECT pg_advisory_xact_lock(4040404040)");
  }
  version = readVersion(db);  // another writer may have done it meanwhile
  refuseNewer(version);
  if (version == kSchemaVersion) return;
  if (version == 0) db.exec("CREATE TABLE schema_version (version INTEGER NOT NULL)");
  for (int v = version; v < kSchemaVersion; ++v) db.exec(kMigrations[v](db.dialect()));
  db.exec("DELETE FROM schema_version");
  db.query("INSERT INTO schema_version (version) VALUES ($1)", {std::int64_t{kSchemaVersion}});
  tx.commit();
}

}  // namespace pelk
