#include "store/result_store.h"

namespace pelk {
namespace {

int small(const SqlValue& v) { return static_cast<int>(sqlInt(v)); }

std::optional<double> optionalReal(const SqlValue& v) {
  return sqlIsNull(v) ? std::nullopt : std::optional<double>(sqlReal(v));
}

std::optional<StudyProgression> readStudy(SqlDatabase& db, const std::vector<SqlValue>& key) {
  auto rows = db.query(
      "SELECT slice, verdict, burden1_mm3, burden2_mm3, growth_mm3, shrinkage_mm3, new_lesions,"
      " folder FROM study_results WHERE run_id = $1",
      key);
  if (rows.empty()) return std::nullopt;
  const SqlRow& r = rows[0];
  StudyProgression s;
  s.slice = sqlInt(r[0]);
  if (!sqlIsNull(r[1])) s.verdict = sqlText(r[1]);
  s.burdenMm3.push_back(sqlReal(r[2]));
  if (!sqlIsNull(r[3])) s.burdenMm3.push_back(sqlReal(r[3]));
  s.growthMm3 = optionalReal(r[4]);
  s.shrinkageMm3 = optionalReal(r[5]);
  s.newLesions = small(r[6]);
  s.folder = sqlText(r[7]);
  for (const SqlRow& f :
       db.query("SELECT path, rotation_x_deg, rotation_y_deg, rotation_z_deg, translation_x_mm,"
                " translation_y_mm, translation_z_mm, metric, converged FROM study_followups"
                " WHERE run_id = $1 ORDER BY followup",
                key))
    s.followUps.push_back({sqlText(f[0]),
                           {sqlReal(f[1]), sqlReal(f[2]), sqlReal(f[3])},
                           {sqlReal(f[4]), sqlReal(f[5]), sqlReal(f[6])},
                           sqlReal(f[7]),
                           sqlInt(f[8]) != 0});
  for (const SqlRow& l : db.query(
           "SELECT followup, volume_mm3, centroid_x_mm, centroid_y_mm, centroid_z_mm, mean_change,"
           " is_new FROM study_lesions WHERE run_id = $1 ORDER BY idx",
           key))
    s.lesions.push_back({small(l[0]),
                         sqlReal(l[1]),
                         {sqlReal(l[2]), sqlReal(l[3]), sqlReal(l[4])},
                         sqlReal(l[5]),
                         sqlInt(l[6]) != 0});
  return s;
}

}  // namespace

RunRecord ResultStore::run(std::int64_t id) {
  if (empty_) throw StoreError("store " + shownStoreName(url_) + ": no run " + std::to_string(id));
  const std::vector<SqlValue> key{id};
  auto rows = db_->query(
      "SELECT program_version, started_at, ended_at, work_dir, command, completed, error,"
      " patient, test, hospital, test_date FROM runs WHERE id = $1",
      key);
  if (rows.empty())
    throw StoreError("store " + shownStoreName(url_) + ": no run " + std::to_string(id));
  const SqlRow& r = rows[0];
  RunRecord run{sqlText(r[0]),
                sqlText(r[1]),
                sqlText(r[2]),
                sqlText(r[3]),
                sqlText(r[4]),
                sqlInt(r[5]) != 0,
                sqlText(r[6]),
                sqlText(r[7]),
                sqlText(r[8]),
                sqlText(r[9]),
                sqlText(r[10]),
                {},
                {}};

  for (const SqlRow& s :
       db_->query("SELECT role, path, size, sha256, width, height FROM scans WHERE run_id = $1"
                  " ORDER BY CASE role WHEN 'standard' THEN 1 WHEN 'baseline' THEN 1"
                  " WHEN 'reference' THEN 2 WHEN 'followup1' THEN 2 ELSE 3 END",
                  key)) {
    ScanRecord scan{sqlText(s[0]), sqlText(s[1]), std::nullopt,
                    std::nullopt,  std::nullopt,  std::nullopt};
    if (!sqlIsNull(s[2])) scan.size = sqlInt(s[2]);
    if (!sqlIsNull(s[3])) scan.sha256 = sqlText(s[3]);
    if (!sqlIsNull(s[4])) scan.width = small(s[4]);
    if (!sqlIsNull(s[5])) scan.height = small(s[5]);
    run.scans.push_back(std::move(scan));
  }
  RunResults& res = run.results;
  for (const SqlRow& k : db_->query("SELECT analysis, result, significant FROM rank_results"
                                    " WHERE run_id = $1 ORDER BY analysis",
                                    key))
    res.rank.push_back({sqlText(k[0]), sqlReal(k[1]), sqlInt(k[2]) != 0});
  for (const SqlRow& m : db_->query("SELECT idx, x, y, value, xb, yb FROM mchs_blocks"
                                    " WHERE run_id = $1 ORDER BY idx",
                                    key))
    res.mchs.push_back(
        {small(m[0]), small(m[1]), small(m[2]), sqlReal(m[3]), small(m[4]), small(m[5])});
  for (const SqlRow& z : db_->query("SELECT idx, zone, difference FROM zchs_zones"
                                    " WHERE run_id = $1 ORDER BY idx",
                                    key))
    res.zchs.push_back({small(z[0]), sqlReal(z[1]), sqlReal(z[2])});
  for (const SqlRow& c :
       db_->query("SELECT grp, idx, x1, y1, dx, dy, area, intensity, xb, yb FROM cluster_regions"
                  " WHERE run_id = $1 ORDER BY grp, idx",
                  key))
    res.clusters.push_back({small(c[0]), small(c[1]), small(c[2]), small(c[3]), small(c[4]),
                            small(c[5]), small(c[6]), sqlReal(c[7]), small(c[8]), small(c[9])});
  auto groups = db_->query(
      "SELECT total_area, mean_area, median_area, total_intensity, mean_intensity,"
      " median_intensity, tumor_index FROM progression WHERE run_id = $1 ORDER BY grp",
      key);
  auto verdicts = db_->query(
      "SELECT kind, verdict, burden1, burden2, burden1_mm2, burden2_mm2, new_lesions"
      " FROM verdicts WHERE run_id = $1",
      key);
  for (const SqlRow& v : verdicts) {
    if (sqlText(v[0]) == "legacy" && groups.size() == 2) {
      LegacyProgression p;
      ProgressionGroup* targets[] = {&p.group1, &p.group2};
      for (int g = 0; g < 2; ++g) {
        const SqlRow& row = groups[static_cast<std::size_t>(g)];
        *targets[g] = {sqlReal(row[0]), sqlReal(row[1]), sqlReal(row[2]), sqlReal(row[3]),
                       sqlReal(row[4]), sqlReal(row[5]), sqlReal(row[6])};
      }
      p.verdict = sqlText(v[1]);
      res.progression = p;
    } else if (sqlText(v[0]) == "robust") {
      RobustProgression p;
      p.verdict = sqlText(v[1]);
      p.burden1 = sqlInt(v[2]);
      p.burden2 = sqlInt(v[3]);
      p.burden1Mm2 = optionalReal(v[4]);
      p.burden2Mm2 = optionalReal(v[5]);
      p.newLesions = small(v[6]);
      for (const SqlRow& c :
           db_->query("SELECT followup, area, area_mm2, mean_change, centroid_x, centroid_y, is_new"
                      " FROM robust_components WHERE run_id = $1 ORDER BY idx",
                      key))
        p.components.push_back({small(c[0]), sqlInt(c[1]), optionalReal(c[2]), sqlReal(c[3]),
                                sqlReal(c[4]), sqlReal(c[5]), sqlInt(c[6]) != 0});
      res.robust = p;
    }
  }
  res.study = readStudy(*db_, key);
  return run;
}

}  // namespace pelk
