#include "report/report_sections.h"

#include <algorithm>
#include <limits>

#include "common/fixed_files.h"
#include "report/html_text.h"
#include "report/svg_chart.h"

namespace pelk {
namespace {

std::string missing(const std::string& problem) {
  return "<p class=\"missing\">Not shown: " + escapeHtml(problem) + "</p>";
}

template <class T>
std::string problemOf(const Loaded<T>& loaded) {
  return loaded.present && !loaded.data ? missing(loaded.problem) : "";
}

std::string section(const std::string& id, const std::string& title, std::string&& body) {
  if (body.empty()) return "";
  return "<section id=\"" + id + "\"><h2>" + escapeHtml(title) + "</h2>" + std::move(body) +
         "</section>";
}

std::string row(const std::vector<std::string>& cells, const char* tag = "td") {
  std::string out = "<tr>";
  for (const auto& c : cells)
    out += std::string("<") + tag + ">" + escapeHtml(c) + "</" + tag + ">";
  return out + "</tr>";
}

std::string table(const std::vector<std::string>& headers,
                  const std::vector<std::vector<std::string>>& rows, const std::string& caption,
                  const char* classes = "data") {
  std::string out = std::string("<table class=\"") + classes + "\"><caption>" +
                    escapeHtml(caption) + "</caption><thead>" + row(headers, "th") +
                    "</thead><tbody>";
  for (const auto& r : rows) out += row(r);
  return out + "</tbody></table>";
}

std::string verdictCard(const std::string& title, const std::string& verdict,
                        const std::vector<std::string>& lines) {
  std::string out = "<div class=\"card verdict-" + escapeHtml(verdict) + "\"><h3>" +
                    escapeHtml(title) + "</h3><p class=\"verdict\">" + escapeHtml(verdict) + "</p>";
  for (const auto& l : lines) out += "<p>" + escapeHtml(l) + "</p>";
  return out + "</div>";
}

std::string area(long long pixels, const std::optional<double>& mm2) {
  return std::to_string(pixels) + " px" + (mm2 ? " (" + figure(*mm2, 1) + " mm²)" : "");
}

std::string shortName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

}  // namespace

std::string traceSection(const ReportRequest& request, const std::vector<ScanFile>& scans) {
  std::string body = "<table class=\"facts\"><tbody>";
  body += row({"Patient", request.patient}) + row({"Test", request.test}) +
          row({"Hospital", request.hospital}) + row({"Date of the test", request.date}) +
          row({"Report made", request.madeAt}) +
          row({"Program", "PELK 40 " + request.programVersion}) +
          row({"Working folder", request.folder.string()});
  body += "</tbody></table>";
  std::vector<std::vector<std::string>> rows;
  for (const ScanFile& s : scans) {
    if (s.name.empty()) continue;
    if (!s.found) {
      rows.push_back({s.role, s.name, "not found", "", ""});
      continue;
    }
    const std::string size = s.decoded.ok() ? std::to_string(s.decoded.picture.width) + " × " +
                                                  std::to_string(s.decoded.picture.height)
                                            : "unreadable";
    rows.push_back({s.role, s.name, size, std::to_string(s.bytes), s.sha256});
  }
  if (!rows.empty())
    body += table({"Scan", "File", "Pixels", "Bytes", "SHA-256"}, rows,
                  "The scans, traced to their exact bytes", "data scans");
  return section("trace", "Test", std::move(body));
}

std::string verdictSection(const ReportedRun& r) {
  std::string cards;
  if (r.legacy.data) {
    const auto& g = r.legacy.data->groups;
    cards += verdictCard(
        "10. Tumor Prog. Analysis-1", r.legacy.data->verdict,
        {"Total area: " + figure(g[0].totalArea, 0) + " px (reference) → " +
             figure(g[1].totalArea, 0) + " px (third)",
         "Tumour index: " + figure(g[0].tumourIndex, 3) + " → " + figure(g[1].tumourIndex, 3)});
  }
  if (r.robust.data) {
    const ReportedRobustProgression& p = *r.robust.data;
    std::string change = p.burden1 == 0
                             ? (p.burden2 == 0 ? "no lesion in either follow-up" : "from none")
                             : figure(100.0 * static_cast<double>(p.burden2 - p.burden1) /
                                          static_cast<double>(p.burden1),
                                      1) +
                                   "%";
    if (p.burden1 != 0 && p.burden2 >= p.burden1) change = "+" + change;
    cards += verdictCard("Robust progression analysis", p.verdict,
                         {"Lesion burden: " + area(p.burden1, p.burden1Mm2) + " → " +
                              area(p.burden2, p.burden2Mm2) + " (" + change + ")",
                          "New lesions in follow-up 2: " + std::to_string(p.newLesions)});
  }
  if (r.study.data) {
    const ReportedStudyResult& s = *r.study.data;
    std::vector<std::string> lines;
    std::string burdens;
    for (std::size_t i = 0; i < s.burdenMm3.size(); ++i)
      burdens += (i ? " → " : "") + figure(s.burdenMm3[i], 1) + " mm³";
    if (!burdens.empty()) lines.push_back("Lesion burden: " + burdens);
    if (s.growthMm3) lines.push_back("Growth: " + figure(*s.growthMm3, 1) + " mm³");
    if (s.shrinkageMm3) lines.push_back("Shrinkage: " + figure(*s.shrinkageMm3, 1) + " mm³");
    lines.push_back("New lesions in follow-up 2: " + std::to_string(s.newLesions));
    cards += verdictCard("Volumetric study", s.verdict.value_or("no verdict"), lines);
    if (!s.verdict) cards += "<p>A study with one follow-up has a burden but no verdict.</p>";
  }
  std::string body = cards.empty() ? "" : "<div class=\"cards\">" + cards + "</div>";
  if (r.robust.data) {
    std::string warnings;
    for (const auto& f : r.robust.data->followUps)
      for (const auto& w : f.legacyWarnings) warnings += "<li>" + escapeHtml(w) + "</li>";
    if (!warnings.empty())
      body +=
          "<div class=\"warning\"><p>The legacy verdict (10. Tumor Prog. Analysis-1) is "
          "unreliable here:</p><ul>" +
          warnings + "</ul></div>";
  }
  body += problemOf(r.legacy) + problemOf(r.robust) + problemOf(r.study);
  return section("verdicts", "Verdicts", std::move(body));
}

std::string pictureSection(const std::filesystem::path& folder, const ReportedRun& r,
                           const std::vector<ScanFile>& scans) {
  std::string figures, problems;
  const ScanFile* standard = nullptr;
  for (const ScanFile& s : scans) {
    if (s.name.empty()) continue;
    if (s.decoded.ok()) {
      appendPictureFigure(figures, s.decoded.picture, s.role + " scan " + s.name,
                          s.role + ": " + s.name);
      if (s.role == "Standard") standard = &s;
    } else {
      problems += missing(s.role + " scan: " + s.decoded.error);
    }
  }
  const auto resultPicture = [&](const std::string& name, const std::string& alt,
                                 const std::string& caption) {
    std::error_code ec;
    if (!std::filesystem::exists(folder / name, ec)) return;
    const DecodedBitmap d = readResultBitmap(folder, name);
    if (d.ok()) appendPictureFigure(figures, d.picture, alt, caption);
    else problems += missing(d.error);
  };
  resultPicture(kDifferenceImage, "Difference image of the standard and the reference scan",
                "Difference image (diffbmp.bmp)");
  if (r.mchs.data && standard)
    appendPictureFigure(
        figures, withMchsMarks(standard->decoded.picture, *r.mchs.data),
        "Standard scan with the " + std::to_string(r.mchs.data->size()) + " MCHS blocks shaded red",
        "MCHS marks over the standard scan (" + std::to_string(r.mchs.data->size()) + " blocks)");
  resultPicture("progression.bmp",
                "Baseline with the robust analysis's growth and shrinkage in colour",
                "Robust progression overlay (progression.bmp)");
  resultPicture("study.bmp", "Matched slices of the study and the registration checkerboard",
                "Study: matched slices and registration checkerboard (study.bmp)");
  if (!figures.empty()) figures = "<div class=\"pictures\">" + std::move(figures) + "</div>";
  return section("pictures", "Pictures", std::move(figures) + problems + problemOf(r.mchs));
}

std::string chartSection(const ReportedRun& r, const std::vector<EarlierRun>& history) {
  std::string body;
  if (r.profileStd.data && r.profileRef.data) {
    LineChart c;
    c.title = "Intensity profiles: mean grey level of each band";
    c.xAxis = "Band";
    c.yAxis = "Mean grey level";
    ChartSeries s{"Standard (setup101.param1)", "#1f77b4", {}};
    ChartSeries f{"Reference (setup101b.param1)", "#d62728", {}};
    for (const auto& b : *r.profileStd.data) {
      c.xLabels.push_back(std::to_string(b.band));
      s.values.push_back(static_cast<double>(b.mean));
    }
    for (const auto& b : *r.profileRef.data) f.values.push_back(static_cast<double>(b.mean));
    c.series = {s, f};
    body += lineChartHtml(c, 0);
  }
  body += problemOf(r.profileStd) + problemOf(r.profileRef);

  const auto rankChart = [&](const Loaded<RankFigure>& rank, const char* name, double threshold) {
    if (!rank.data) return;
    BarChart c;
    c.title = std::string(name) + ": " + figure(rank.data->value, 3) + ", " +
              (rank.data->significant ? "significant" : "not significant");
    c.labelHeader = "Analysis";
    c.valueAxis = "Result";
    c.labels = {name};
    c.values = {rank.data->value};
    c.colour = rank.data->significant ? "#c0392b" : "#3b6ea5";
    c.threshold = threshold;
    c.thresholdLabel = "Significance threshold " + figure(threshold, 1);
    body += barChartHtml(c);
  };
  // The smaller charts stand two abreast.
  body += "<div class=\"charts\">";
  rankChart(r.rra1, "RRA-1", kRra1Threshold);
  rankChart(r.rra2, "RRA-2", kRra2Threshold);

  if (r.mchs.data && !r.mchs.data->empty()) {
    BarChart c;
    c.title = "The strongest MCHS blocks";
    c.labelHeader = "Block (Idx)";
    c.valueAxis = "Value";
    for (std::size_t i = 0; i < r.mchs.data->size() && i < kTableRows; ++i) {
      c.labels.push_back(std::to_string((*r.mchs.data)[i].idx));
      c.values.push_back((*r.mchs.data)[i].value);
    }
    body += barChartHtml(c);
  }
  const auto clusterChart = [&](const Loaded<std::vector<ReportedClusterRegion>>& clusters,
                                const std::string& title) {
    if (!clusters.data || clusters.data->empty()) return;
    std::vector<ReportedClusterRegion> largest = *clusters.data;
    std::stable_sort(largest.begin(), largest.end(),
                     [](const auto& a, const auto& b) { return a.area > b.area; });
    BarChart c;
    c.title = title;
    c.labelHeader = "Rank (the table below gives each region's place)";
    c.valueAxis = "Area (px)";
    c.decimals = 0;
    c.colour = "#8e44ad";
    for (std::size_t i = 0; i < largest.size() && i < kTableRows; ++i) {
      c.labels.push_back(std::to_string(i + 1));
      c.values.push_back(static_cast<double>(largest[i].area));
    }
    body += barChartHtml(c);
  };
  clusterChart(r.clusters1, "Cluster areas, standard against reference (largest first)");
  clusterChart(r.clusters2, "Cluster areas, standard against third (largest first)");
  body += "</div>";
  if (body.ends_with("<div class=\"charts\"></div>")) body.erase(body.size() - 26);

  // The 2-D analyses in pixels and whole studies in mm3, each over the runs that measured one.
  LineChart c{"Lesion burden and verdict over time", "Run", "Burden (px)", {}, {}, {}};
  ChartSeries robust{"Robust burden, follow-up 2", "#c0392b", {}};
  ChartSeries legacy{"10. total area, group 2", "#7f8c8d", {}};
  LineChart v{"Lesion volume of whole studies over time", "Run", "Volume (mm3)", {}, {}, {}};
  ChartSeries volume{"Study lesions, latest follow-up", "#6a1b9a", {}};
  const double none = std::numeric_limits<double>::quiet_NaN();
  for (const EarlierRun& run : history) {
    if (run.robustBurden2 || run.legacyArea2) {
      c.xLabels.push_back(run.date);
      robust.values.push_back(run.robustBurden2.value_or(none));
      legacy.values.push_back(run.legacyArea2.value_or(none));
      std::string note = run.robustVerdict;
      if (!run.legacyVerdict.empty())
        note += (note.empty() ? "" : " / ") + ("10.: " + run.legacyVerdict);
      c.pointNotes.push_back(note);
    }
    if (run.studyVolume) {
      v.xLabels.push_back(run.date);
      volume.values.push_back(*run.studyVolume);
      v.pointNotes.push_back(run.studyVerdict.empty() ? "one follow-up" : run.studyVerdict);
    }
  }
  c.series = {robust, legacy};
  v.series = {volume};
  if (!c.xLabels.empty()) body += lineChartHtml(c, 0);
  if (!v.xLabels.empty()) body += lineChartHtml(v, 1);
  body += problemOf(r.rra1) + problemOf(r.rra2);
  return section("charts", "Charts", std::move(body));
}

std::string tableSection(const ReportedRun& r) {
  std::string body;
  if (r.mchs.data) {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < r.mchs.data->size() && i < kTableRows; ++i) {
      const ReportedMchsBlock& b = (*r.mchs.data)[i];
      rows.push_back({std::to_string(b.idx), std::to_string(b.x), std::to_string(b.y),
                      figure(b.value, 3), std::to_string(b.xb), std::to_string(b.yb)});
    }
    body += table({"Idx", "X", "Y", "Value", "Xb", "Yb"}, rows,
                  "MCHS: the " + std::to_string(rows.size()) + " strongest of " +
                      std::to_string(r.mchs.data->size()) + " blocks (all in mchs-results.dat)");
  }
  if (r.zchs.data) {
    std::vector<std::vector<std::string>> rows;
    for (const ReportedZchsZone& z : *r.zchs.data)
      rows.push_back({figure(z.zone, 0), figure(z.change, 0)});
    body += rows.empty() ? "<p>ZCHS: no zone grew brighter.</p>"
                         : table({"Zone", "Brightness change"}, rows,
                                 "ZCHS: every zone that grew brighter (zchs.dat)");
  }
  const auto clusterTable = [&](const Loaded<std::vector<ReportedClusterRegion>>& clusters,
                                const std::string& what) {
    if (!clusters.data) return;
    std::vector<ReportedClusterRegion> largest = *clusters.data;
    std::stable_sort(largest.begin(), largest.end(),
                     [](const auto& a, const auto& b) { return a.area > b.area; });
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < largest.size() && i < kTableRows; ++i) {
      const ReportedClusterRegion& c = largest[i];
      rows.push_back({std::to_string(c.x1), std::to_string(c.y1), std::to_string(c.dx),
                      std::to_string(c.dy), std::to_string(c.area), figure(c.intensity, 3),
                      std::to_string(c.xb), std::to_string(c.yb)});
    }
    body += table({"x1", "y1", "dx", "dy", "Area", "Intensity", "xb", "yb"}, rows,
                  "Clusters, " + what + ": the " + std::to_string(rows.size()) + " largest of " +
                      std::to_string(largest.size()) + " regions (all in " + clusters.file + ")");
  };
  clusterTable(r.clusters1, "standard against reference");
  clusterTable(r.clusters2, "standard against third");
  if (r.robust.data) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& c : r.robust.data->components)
      rows.push_back({std::to_string(c.followUp), area(c.area, c.areaMm2), figure(c.meanChange, 1),
                      figure(c.centroidX, 1) + ", " + figure(c.centroidY, 1),
                      c.isNew ? "yes" : "no"});
    std::vector<std::vector<std::string>> alignment;
    for (std::size_t i = 0; i < r.robust.data->followUps.size(); ++i) {
      const auto& f = r.robust.data->followUps[i];
      alignment.push_back({std::to_string(i + 1) + ": " + shortName(f.file),
                           figure(f.shiftX, 2) + ", " + figure(f.shiftY, 2), figure(f.rotation, 2),
                           figure(f.gain, 3), figure(f.threshold, 1), std::to_string(f.burden)});
    }
    body += table({"Follow-up", "Shift (px)", "Rotation (°)", "Gain", "Threshold", "Burden (px)"},
                  alignment,
                  "Robust analysis: alignment of each follow-up to the baseline " +
                      shortName(r.robust.data->baseline));
    body += table({"Follow-up", "Area", "Mean change", "Centroid (x, y)", "New"}, rows,
                  "Robust analysis: every lesion (progression.json)");
  }
  if (r.study.data) {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < r.study.data->followUps.size(); ++i) {
      const auto& f = r.study.data->followUps[i];
      const auto triple = [](const std::array<double, 3>& v, int d) {
        return figure(v[0], d) + ", " + figure(v[1], d) + ", " + figure(v[2], d);
      };
      rows.push_back({std::to_string(i + 1) + ": " + shortName(f.path), triple(f.rotationDeg, 2),
                      triple(f.translationMm, 2), f.metric ? figure(*f.metric, 4) : "–"});
    }
    body +=
        table({"Follow-up", "Rotation (°)", "Translation (mm)", "Metric"}, rows,
              "Study: registration of each follow-up to " + shortName(r.study.data->baseline) +
                  (r.study.data->slice ? ", matched slice " + std::to_string(*r.study.data->slice)
                                       : std::string()));
    std::vector<std::vector<std::string>> lesions;
    for (const auto& l : r.study.data->lesions)
      lesions.push_back(
          {std::to_string(l.followUp), figure(l.volumeMm3, 1), figure(l.meanChange, 1)});
    if (!lesions.empty())
      body += table({"Follow-up", "Volume (mm³)", "Mean change"}, lesions,
                    "Study: every lesion (study.json)");
  }
  body += problemOf(r.zchs) + problemOf(r.clusters1) + problemOf(r.clusters2);
  return section("tables", "Tables", std::move(body));
}

}  // namespace pelk
