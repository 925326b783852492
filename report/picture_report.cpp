#include "report/picture_report.h"

#include "common/replace_file.h"

#include <cstdio>
#include <ctime>
#include <system_error>

#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/io_error.h"
#include "report/html_text.h"
#include "report/report_sections.h"

namespace pelk {
namespace {

// Clean A4 pages: nothing that is a picture, chart, table or card is cut across two pages.
constexpr const char* kStyle = R"(
body { font-family: "DejaVu Sans", Arial, sans-serif; font-size: 14px; color: #222;
       max-width: 1100px; margin: 0 auto; padding: 16px; }
h1 { font-size: 22px; margin: 0 0 8px; } h2 { font-size: 18px; border-bottom: 2px solid #3b6ea5;
     padding-bottom: 2px; margin-top: 24px; } h3 { font-size: 15px; margin: 0 0 4px; }
table { border-collapse: collapse; margin: 8px 0 16px; }
th, td { border: 1px solid #bbb; padding: 2px 6px; text-align: left; vertical-align: top; }
table.data td, td.num { text-align: right; font-variant-numeric: tabular-nums; }
table.data td:first-child { text-align: left; }
.charts { display: grid; grid-template-columns: 1fr 1fr; gap: 12px; }
caption { text-align: left; font-weight: bold; padding: 4px 0; }
table.facts td:first-child { font-weight: bold; }
table.scans td { white-space: nowrap; text-align: left; }
table.scans td:nth-child(2), table.facts td { white-space: normal; overflow-wrap: anywhere; }
table.scans td:last-child { font-family: "DejaVu Sans Mono", monospace; font-size: 11px; }
.cards { display: flex; flex-wrap: wrap; gap: 12px; }
.card { border: 2px solid #888; border-radius: 6px; padding: 8px 12px; flex: 1 1 260px; }
.card p { margin: 2px 0; } .verdict { font-size: 22px; font-weight: bold; }
.verdict-INCREASING { border-color: #c0392b; } .verdict-DECREASING { border-color: #27ae60; }
.verdict-STABLE { border-color: #3b6ea5; }
.warning { border-left: 6px solid #e67e22; background: #fdf2e9; padding: 4px 12px; margin: 12px 0; }
.missing { color: #a94442; background: #f2dede; padding: 4px 8px; }
.pictures { display: grid; grid-template-columns: repeat(3, 1fr); gap: 12px; }
figure { margin: 0 0 12px; }
figure.picture img { width: 100%; height: auto; display: block; image-rendering: pixelated;
                     background: #000; }
figure.chart svg { width: 100%; max-width: 720px; height: auto; display: block; }
figcaption { font-size: 12px; color: #444; }
details { font-size: 12px; } summary { cursor: pointer; color: #3b6ea5; }
@page { size: A4; margin: 14mm; }
@media print {
  body { max-width: none; padding: 0; font-size: 11px; }
  table.scans td:last-child { font-size: 8px; }
  h2 { break-after: avoid; page-break-after: avoid; }
  figure, table, .card, .warning, svg, img, tr { break-inside: avoid; page-break-inside: avoid; }
  .pictures { grid-template-columns: repeat(3, 1fr); }
  details { display: none; }
}
)";

// The name a job list gives the scan on its data line `line` (1 for the first scan), or "".
std::string jobListScan(const std::filesystem::path& folder, int line) {
  for (const char* list : {kProfileJobList, kMapJobList}) {
    try {
      const std::string text = readWholeFile((folder / list).string());
      std::size_t at = 0;
      for (int skip = 0; skip < line && at != std::string::npos; ++skip) {
        at = text.find('\n', at);
        if (at != std::string::npos) ++at;
      }
      if (at == std::string::npos) continue;
      // "WIDTH;HEIGHT;NAME;…": the name is the third field.
      std::size_t first = text.find(';', at),
                  second = first == std::string::npos ? first : text.find(';', first + 1);
      const std::size_t third = second == std::string::npos ? second : text.find(';', second + 1);
      const std::size_t lineEnd = text.find_first_of("\r\n", at);
      if (third != std::string::npos && third < lineEnd)
        return text.substr(second + 1, third - second - 1);
    } catch (const std::exception&) {
    }
  }
  return "";
}

std::vector<ScanFile> scansOf(const ReportRequest& request, const ReportedRun& results) {
  std::string standard = request.standardScan, reference = request.referenceScan,
              third = request.thirdScan;
  const ReportedRobustProgression* robust = results.robust.data ? &*results.robust.data : nullptr;
  if (standard.empty()) standard = jobListScan(request.folder, 1);
  if (reference.empty()) reference = jobListScan(request.folder, 2);
  if (standard.empty() && robust) standard = robust->baseline;
  if (reference.empty() && robust && robust->followUps.size() > 0)
    reference = robust->followUps[0].file;
  if (third.empty() && robust && robust->followUps.size() > 1) third = robust->followUps[1].file;
  // A study leaves its matched slices under fixed names beside study.json.
  if (results.study.data) {
    std::error_code ec;
    const auto matched = [&](std::string& name, const char* file) {
      if (name.empty() && std::filesystem::exists(request.folder / file, ec)) name = file;
    };
    matched(standard, "std.bmp");
    matched(reference, "ref.bmp");
    matched(third, "third.bmp");
  }
  std::vector<ScanFile> scans;  // moved in: each holds a whole decoded picture
  scans.push_back(readScan(request.folder, "Standard", standard));
  scans.push_back(readScan(request.folder, "Reference", reference));
  scans.push_back(readScan(request.folder, "Third", third));
  return scans;
}

}  // namespace

std::string pictureReportHtml(const ReportRequest& request) {
  const ReportedRun results = loadRunResults(request.folder);
  const std::vector<ScanFile> scans = scansOf(request, results);
  // Appended piece by piece: the picture section alone is about a megabyte.
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"/>"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/><title>" +
      escapeHtml("PELK 40 report: " + request.patient + ", " + request.test) + "</title><style>" +
      kStyle + "</style></head><body><h1>PELK 40 picture report</h1>";
  html += traceSection(request, scans);
  html += verdictSection(results);
  html += pictureSection(request.folder, results, scans);
  html += chartSection(results, request.history);
  html += tableSection(results);
  html += "<p class=\"footer\">Made by PELK 40 " + escapeHtml(request.programVersion) +
          " from the result files of " + escapeHtml(request.folder.string()) +
          "; the full lists stay in those files.</p></body></html>\n";
  return html;
}

void writePictureReport(const ReportRequest& request, const std::filesystem::path& path) {
  replaceFileWhole(path.string(), pictureReportHtml(request));
}

std::string localTimestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace pelk
