#include "store/result_store.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>

#include "store/schema.h"
#include "store/utf8_text.h"

namespace pelk {
namespace {

constexpr std::string_view kSqliteScheme = "sqlite:";

bool isPostgresUrl(const std::string& url) {
  return url.starts_with("postgresql://") || url.starts_with("postgres://");
}

SqlValue optionalReal(const std::optional<double>& v) { return v ? SqlValue(*v) : SqlValue(); }

std::optional<double> readOptionalReal(const SqlValue& v) {
  return sqlIsNull(v) ? std::nullopt : std::optional<double>(sqlReal(v));
}

std::int64_t integer(long long v) { return static_cast<std::int64_t>(v); }

// The statement that inserts `rows` rows of `width` values into `tableAndColumns`.
std::string rowsStatement(SqlDialect d, std::string_view tableAndColumns, std::size_t width,
                          std::size_t rows) {
  std::string sql = (d == SqlDialect::kSqlite ? "INSERT OR ROLLBACK INTO " : "INSERT INTO ") +
                    std::string(tableAndColumns) + " VALUES ";
  for (std::size_t row = 0, n = 0; row < rows; ++row) {
    sql += row ? ", (" : "(";
    for (std::size_t c = 0; c < width; ++c) sql += (c ? ", $" : "$") + std::to_string(++n);
    sql += ")";
  }
  return sql;
}

// A run can hold thousands of highlighted blocks and regions: they go sixteen rows to a
// statement (one statement per row cost half of storing such a run; longer ones cost more to
// prepare than they save), the last few one at a time.
constexpr std::size_t kRowsPerStatement = 16;
constexpr std::string_view kMchsColumns = "mchs_blocks (run_id, idx, x, y, value, xb, yb)";
constexpr std::size_t kMchsWidth = 7;
constexpr std::string_view kClusterColumns =
    "cluster_regions (run_id, grp, idx, x1, y1, dx, dy, area, intensity, xb, yb)";
constexpr std::size_t kClusterWidth = 11;

constexpr const char* kInsertRun =
    "INSERT INTO runs (program_version, started_at, ended_at, work_dir, command, completed,"
    " error, patient, test, hospital, test_date)"
    " VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11) RETURNING id";

// Writes one row's values, as many as the row has, into its place in a statement's parameters.
template <std::size_t width, typename... Values>
void setRow(std::span<SqlValue, width> row, Values&&... values) {
  static_assert(sizeof...(values) == width, "one value for each column");
  std::size_t i = 0;
  ((row[i++] = std::forward<Values>(values)), ...);
}

// Inserts one row of `width` values per element of `items`, `fill` writing an element's values
// into the span it is given; the values go straight from there to the statement.
template <std::size_t width, typename Item, typename Fill>
void insertRows(SqlDatabase& db, std::string_view tableAndColumns, const std::vector<Item>& items,
                Fill fill) {
  if (items.empty()) return;
  SqlStatement& full =
      db.cached(rowsStatement(db.dialect(), tableAndColumns, width, kRowsPerStatement));
  SqlStatement& one = db.cached(rowsStatement(db.dialect(), tableAndColumns, width, 1));
  std::array<SqlValue, width * kRowsPerStatement> chunk;
  for (std::size_t first = 0; first < items.size();) {
    const std::size_t n = items.size() - first >= kRowsPerStatement ? kRowsPerStatement : 1;
    for (std::size_t k = 0; k < n; ++k)
      fill(items[first + k], std::span<SqlValue, width>(chunk.data() + k * width, width));
    (n == 1 ? one : full).run(std::span<const SqlValue>(chunk.data(), n * width));
    first += n;
  }
}

void insertStudy(SqlDatabase& db, std::int64_t id, const StudyProgression& s) {
  const auto& burden = s.burdenMm3;
  db.cached(
        "INSERT INTO study_results (run_id, folder, slice, verdict, burden1_mm3, burden2_mm3,"
        " growth_mm3, shrinkage_mm3, new_lesions) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9)")
      .run({id, validUtf8(s.folder), s.slice, s.verdict ? SqlValue(*s.verdict) : SqlValue(),
            burden.empty() ? 0.0 : burden[0], burden.size() > 1 ? SqlValue(burden[1]) : SqlValue(),
            optionalReal(s.growthMm3), optionalReal(s.shrinkageMm3), integer(s.newLesions)});
  SqlStatement& followUp = db.cached(
      "INSERT INTO study_followups (run_id, followup, path, rotation_x_deg, rotation_y_deg,"
      " rotation_z_deg, translation_x_mm, translation_y_mm, translation_z_mm, metric, converged)"
      " VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11)");
  std::int64_t n = 0;
  for (const StudyFollowUp& f : s.followUps)
    followUp.run({id, ++n, f.path, f.rotationDeg[0], f.rotationDeg[1], f.rotationDeg[2],
                  f.translationMm[0], f.translationMm[1], f.translationMm[2], f.metric,
                  integer(f.converged)});
  SqlStatement& lesion = db.cached(
      "INSERT INTO study_lesions (run_id, idx, followup, volume_mm3, centroid_x_mm, centroid_y_mm,"
      " centroid_z_mm, mean_change, is_new) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9)");
  n = 0;
  for (const StudyLesion& l : s.lesions)
    lesion.run({id, ++n, integer(l.followup), l.volumeMm3, l.centroidMm[0], l.centroidMm[1],
                l.centroidMm[2], l.meanChange, integer(l.isNew)});
}

void insertResults(SqlDatabase& db, std::int64_t id, const RunResults& r) {
  if (!r.rank.empty()) {
    SqlStatement& insert = db.cached(
        "INSERT INTO rank_results (run_id, analysis, result, significant) VALUES ($1, $2, $3, $4)");
    for (const RankResult& rank : r.rank)
      insert.run({id, rank.analysis, rank.result, integer(rank.significant)});
  }
  insertRows<kMchsWidth>(db, kMchsColumns, r.mchs, [id](const MchsBlock& b, auto row) {
    setRow(row, id, integer(b.idx), integer(b.x), integer(b.y), b.value, integer(b.xb),
           integer(b.yb));
  });
  if (!r.zchs.empty()) {
    SqlStatement& insert =
        db.cached("INSERT INTO zchs_zones (run_id, idx, zone, difference) VALUES ($1, $2, $3, $4)");
    for (const ZchsZone& z : r.zchs) insert.run({id, integer(z.idx), z.zone, z.difference});
  }
  insertRows<kClusterWidth>(db, kClusterColumns, r.clusters,
                            [id](const ClusterRegion& c, auto row) {
                              setRow(row, id, integer(c.group), integer(c.idx), integer(c.x1),
                                     integer(c.y1), integer(c.dx), integer(c.dy), integer(c.area),
                                     c.intensity, integer(c.xb), integer(c.yb));
                            });
  auto verdict = [&]() -> SqlStatement& {
    return db.cached(
        "INSERT INTO verdicts (run_id, kind, verdict, burden1, burden2, burden1_mm2, burden2_mm2,"
        " new_lesions) VALUES ($1, $2, $3, $4, $5, $6, $7, $8)");
  };
  if (r.progression) {
    SqlStatement& insert = db.cached(
        "INSERT INTO progression (run_id, grp, total_area, mean_area, median_area,"
        " total_intensity, mean_intensity, median_intensity, tumor_index)"
        " VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9)");
    int group = 1;
    for (const ProgressionGroup* g : {&r.progression->group1, &r.progression->group2})
      insert.run({id, integer(group++), g->totalArea, g->meanArea, g->medianArea, g->totalIntensity,
                  g->meanIntensity, g->medianIntensity, g->tumorIndex});
    verdict().run({id, std::string("legacy"), r.progression->verdict,
                   r.progression->group1.totalArea, r.progression->group2.totalArea, SqlValue(),
                   SqlValue(), SqlValue()});
  }
  if (r.robust) {
    const RobustProgression& p = *r.robust;
    verdict().run({id, std::string("robust"), p.verdict, static_cast<double>(p.burden1),
                   static_cast<double>(p.burden2), optionalReal(p.burden1Mm2),
                   optionalReal(p.burden2Mm2), integer(p.newLesions)});
    SqlStatement& insert = db.cached(
        "INSERT INTO robust_components (run_id, idx, followup, area, area_mm2, mean_change,"
        " centroid_x, centroid_y, is_new) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9)");
    std::int64_t idx = 0;
    for (const RobustComponent& c : p.components)
      insert.run({id, ++idx, integer(c.followup), c.area, optionalReal(c.areaMm2), c.meanChange,
                  c.centroidX, c.centroidY, integer(c.isNew)});
  }
  if (r.study) insertStudy(db, id, *r.study);
}

// The filter of a history query over runs r, with its parameters.
std::string runFilter(const HistoryQuery& q, std::vector<SqlValue>& params) {
  std::string where;
  auto add = [&](const char* column, const char* op, const std::string& value) {
    params.emplace_back(value);
    where += (where.empty() ? " WHERE " : " AND ");
    where += std::string("r.") + column + op + "$" + std::to_string(params.size());
  };
  if (q.patient) add("patient", " = ", *q.patient);
  if (q.since) add("started_at", " >= ", *q.since);
  return where;
}

}  // namespace

std::string sqliteStorePath(const std::string& url) {
  return url.starts_with(kSqliteScheme) ? url.substr(kSqliteScheme.size()) : std::string();
}

std::unique_ptr<ResultStore> ResultStore::open(const StoreLocation& where, bool forWriting) {
  std::unique_ptr<SqlDatabase> db;
  const std::string& url = where.url;
  if (isPostgresUrl(url)) {
    db = openPostgres(url);
  } else if (url.starts_with(kSqliteScheme)) {
    std::string path = sqliteStorePath(url);
    if (path.empty()) throw StoreError("store " + url + ": no file named after \"sqlite:\"");
    std::error_code ec;
    bool exists = std::filesystem::exists(path, ec);
    if (!exists && !forWriting)
      throw StoreError("store " + path + ": no such file (no run has been recorded there)");
    if (!exists && where.createFolder) {
      std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
      if (ec) throw StoreError("store " + path + ": cannot make its folder: " + ec.message());
    }
    db = openSqlite(path, forWriting, where.logCopyBack);
  } else {
    throw StoreError("store " + shownStoreName(url) +
                     ": not a store name (sqlite:PATH or postgresql://...)");
  }
  bool empty = false;
  if (forWriting) {
    prepareSchema(*db);
  } else {
    int version = ::pelk::schemaVersion(*db);
    empty = version == 0;
    if (version != 0) prepareSchema(*db);  // refuses a newer store, migrates an older one
  }
  return std::unique_ptr<ResultStore>(new ResultStore(std::move(db), url, empty));
}

int ResultStore::schemaVersion() { return ::pelk::schemaVersion(*db_); }

void ResultStore::prepareRecording() {
  // Every row of a run refers to the run inserted first, in the same transaction, so SQLite's
  // check of each of the thousands of rows against the runs table (a fifth of their cost) finds
  // nothing. Switching it compiles every statement anew, so it is switched once, here.
  if (db_->dialect() == SqlDialect::kSqlite) db_->exec("PRAGMA foreign_keys = OFF");
  for (const auto& [columns, width] :
       {std::pair{kMchsColumns, kMchsWidth}, std::pair{kClusterColumns, kClusterWidth}}) {
    db_->cached(rowsStatement(db_->dialect(), columns, width, kRowsPerStatement));
    db_->cached(rowsStatement(db_->dialect(), columns, width, 1));
  }
}

std::int64_t ResultStore::record(const RunRecord& given) {
  RunRecord run = given;
  for (std::string* text : {&run.workDir, &run.error, &run.patient, &run.test, &run.hospital,
                            &run.testDate, &run.command})
    *text = validUtf8(*text);
  for (ScanRecord& scan : run.scans) scan.path = validUtf8(scan.path);
  SqlTransaction tx(*db_);
  auto rows = db_->cached(kInsertRun)
                  .run({run.programVersion, run.startedAt, run.endedAt, run.workDir, run.command,
                        integer(run.completed), run.completed ? SqlValue() : SqlValue(run.error),
                        run.patient, run.test, run.hospital, run.testDate});
  std::int64_t id = sqlInt(rows.at(0).at(0));
  if (!run.scans.empty()) {
    SqlStatement& insert = db_->cached(
        "INSERT INTO scans (run_id, role, path, size, sha256, width, height)"
        " VALUES ($1, $2, $3, $4, $5, $6, $7)");
    for (const ScanRecord& s : run.scans)
      insert.run({id, s.role, s.path, s.size ? SqlValue(*s.size) : SqlValue(),
                  s.sha256 ? SqlValue(*s.sha256) : SqlValue(),
                  s.width ? SqlValue(integer(*s.width)) : SqlValue(),
                  s.height ? SqlValue(integer(*s.height)) : SqlValue()});
  }
  insertResults(*db_, id, run.results);
  tx.commit();
  return id;
}

std::vector<RunSummary> ResultStore::history(const HistoryQuery& query) {
  if (empty_) return {};
  std::vector<SqlValue> params;
  std::string filter = runFilter(query, params);
  std::vector<RunSummary> runs;
  std::map<std::int64_t, std::size_t> byId;
  for (const SqlRow& row :
       db_->query("SELECT r.id, r.started_at, r.command, r.completed, r.error, r.patient, r.test,"
                  " r.hospital, r.test_date,"
                  " (SELECT COUNT(*) FROM mchs_blocks m WHERE m.run_id = r.id),"
                  " (SELECT COUNT(*) FROM cluster_regions c WHERE c.run_id = r.id)"
                  " FROM runs r" +
                      filter + " ORDER BY r.started_at, r.id",
                  params)) {
    RunSummary s;
    s.id = sqlInt(row[0]);
    s.startedAt = sqlText(row[1]);
    s.command = sqlText(row[2]);
    s.completed = sqlInt(row[3]) != 0;
    s.error = sqlText(row[4]);
    s.patient = sqlText(row[5]);
    s.test = sqlText(row[6]);
    s.hospital = sqlText(row[7]);
    s.testDate = sqlText(row[8]);
    s.mchsBlocks = static_cast<int>(sqlInt(row[9]));
    s.clusterRegions = static_cast<int>(sqlInt(row[10]));
    byId[s.id] = runs.size();
    runs.push_back(std::move(s));
  }
  if (runs.empty()) return runs;

  for (const SqlRow& row : db_->query(
           "SELECT s.run_id, s.role, s.path FROM scans s JOIN runs r ON r.id = s.run_id" + filter,
           params)) {
    RunSummary& s = runs[byId.at(sqlInt(row[0]))];
    // A study's baseline and follow-ups stand where a comparison's three scans stand.
    const std::string role = sqlText(row[1]);
    if (role == "standard" || role == "baseline") s.standard = sqlText(row[2]);
    if (role == "reference" || role == "followup1") s.reference = sqlText(row[2]);
    if (role == "third" || role == "followup2") s.third = sqlText(row[2]);
  }
  for (const SqlRow& row :
       db_->query("SELECT k.run_id, k.analysis, k.result, k.significant FROM rank_results k"
                  " JOIN runs r ON r.id = k.run_id" +
                      filter,
                  params)) {
    RunSummary& s = runs[byId.at(sqlInt(row[0]))];
    RankResult rank{sqlText(row[1]), sqlReal(row[2]), sqlInt(row[3]) != 0};
    (rank.analysis == "RRA-1" ? s.rra1 : s.rra2) = rank;
  }
  for (const SqlRow& row :
       db_->query("SELECT v.run_id, v.kind, v.verdict, v.burden1, v.burden2, v.burden1_mm2,"
                  " v.burden2_mm2 FROM verdicts v JOIN runs r ON r.id = v.run_id" +
                      filter,
                  params)) {
    RunSummary& s = runs[byId.at(sqlInt(row[0]))];
    VerdictSummary v{sqlText(row[2]), sqlReal(row[3]), sqlReal(row[4]), readOptionalReal(row[5]),
                     readOptionalReal(row[6])};
    (sqlText(row[1]) == "legacy" ? s.legacy : s.robust) = v;
  }
  for (const SqlRow& row :
       db_->query("SELECT t.run_id, t.verdict, t.burden1_mm3, t.burden2_mm3, t.folder"
                  " FROM study_results t JOIN runs r ON r.id = t.run_id" +
                      filter,
                  params)) {
    RunSummary& s = runs[byId.at(sqlInt(row[0]))];
    s.study = StudySummary{sqlIsNull(row[1]) ? std::nullopt : std::optional(sqlText(row[1])),
                           sqlReal(row[2]), readOptionalReal(row[3]), sqlText(row[4])};
  }
  return runs;
}

std::vector<RunSummary> ResultStore::progressionTimeline(const std::string& patient) {
  std::vector<RunSummary> runs = history(HistoryQuery{patient, std::nullopt});
  std::erase_if(runs, [](const RunSummary& r) { return !r.legacy && !r.robust && !r.study; });
  return runs;
}

}  // namespace pelk
