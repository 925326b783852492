#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "report/run_results.h"

namespace pelk {
namespace {

std::vector<std::string_view> lines(const std::string& text) {
  std::vector<std::string_view> out;
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out.push_back(line);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return out;
}

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t at = 0;
  while (true) {
    at = line.find_first_not_of(" \t", at);
    if (at == std::string_view::npos) return out;
    const std::size_t end = line.find_first_of(" \t", at);
    out.push_back(line.substr(at, end - at));
    if (end == std::string_view::npos) return out;
    at = end;
  }
}

bool isNumber(std::string_view token) {
  double v = 0;
  const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
  return ec == std::errc() && end == token.data() + token.size() && std::isfinite(v);
}

double number(std::string_view token, std::string_view what) {
  double v = 0;
  const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
  if (ec != std::errc() || end != token.data() + token.size() || !std::isfinite(v))
    throw std::runtime_error("\"" + std::string(token) + "\" is not a number (" +
                             std::string(what) + ")");
  return v;
}

long long whole(std::string_view token, std::string_view what) {
  const double v = number(token, what);
  if (v != std::floor(v) || std::fabs(v) > 9e15)
    throw std::runtime_error("\"" + std::string(token) + "\" is not a whole number (" +
                             std::string(what) + ")");
  return static_cast<long long>(v);
}

// The rows of a numeric table: `columns` numbers on each line, blank lines skipped.
std::vector<std::vector<std::string_view>> numericRows(const std::vector<std::string_view>& all,
                                                       std::size_t from, std::size_t columns,
                                                       std::string_view what) {
  std::vector<std::vector<std::string_view>> rows;
  for (std::size_t i = from; i < all.size(); ++i) {
    auto w = words(all[i]);
    if (w.empty()) continue;
    if (w.size() != columns)
      throw std::runtime_error("line " + std::to_string(i + 1) + " has " +
                               std::to_string(w.size()) + " values, expected " +
                               std::to_string(columns) + " (" + std::string(what) + ")");
    rows.push_back(std::move(w));
  }
  return rows;
}

// A leading count line ("N" or "N glist idx") and exactly that many rows after it.
std::size_t checkedCount(const std::vector<std::string_view>& all, std::size_t rows) {
  if (all.empty() || words(all[0]).empty()) throw std::runtime_error("the count line is missing");
  const long long count = whole(words(all[0])[0], "count");
  if (count < 0 || static_cast<std::size_t>(count) != rows)
    throw std::runtime_error("announces " + std::to_string(count) + " rows but holds " +
                             std::to_string(rows));
  return rows;
}

}  // namespace

RankFigure parseRankScript(const std::string& text) {
  // "insert into rraN (…) values(0,"temp","patient1","test1",   RESULT,TRUE|FALSE);"
  for (std::string_view line : lines(text)) {
    if (line.rfind("insert into", 0) != 0) continue;
    const std::size_t close = line.rfind(')');
    const std::size_t lastComma = line.rfind(',', close);
    const std::size_t valueComma =
        lastComma == std::string_view::npos ? lastComma : line.rfind(',', lastComma - 1);
    if (close == std::string_view::npos || valueComma == std::string_view::npos)
      throw std::runtime_error("the insert line is cut short");
    auto value = words(line.substr(valueComma + 1, lastComma - valueComma - 1));
    const std::string_view flag = line.substr(lastComma + 1, close - lastComma - 1);
    if (value.size() != 1 || (flag != "TRUE" && flag != "FALSE"))
      throw std::runtime_error("the insert line holds no result and determination");
    return {number(value[0], "result"), flag == "TRUE"};
  }
  throw std::runtime_error("no result in the script");
}

std::vector<ProfileBand> parseProfile(const std::string& text) {
  const auto all = lines(text);
  const auto rows = numericRows(all, 1, 5, "profile band");
  if (all.empty() || words(all[0]).size() != 2)
    throw std::runtime_error("the header line is missing");
  const long long bands = whole(words(all[0])[0], "band count");
  if (bands != static_cast<long long>(rows.size()))
    throw std::runtime_error("announces " + std::to_string(bands) + " bands but holds " +
                             std::to_string(rows.size()));
  std::vector<ProfileBand> out;
  for (const auto& r : rows)
    out.push_back({whole(r[0], "band"), whole(r[1], "mean"), whole(r[2], "peak"),
                   whole(r[3], "median"), whole(r[4], "adjusted count")});
  return out;
}

std::vector<ReportedMchsBlock> parseMchsResults(const std::string& text) {
  const auto all = lines(text);
  std::size_t header = 0;
  while (header < all.size() && all[header].find("Idx") == std::string_view::npos) ++header;
  if (header == all.size()) throw std::runtime_error("the column header is missing");
  std::vector<ReportedMchsBlock> out;
  for (const auto& r : numericRows(all, header + 1, 6, "MCHS block"))
    out.push_back({whole(r[0], "Idx"), whole(r[1], "X"), whole(r[2], "Y"), number(r[3], "Value"),
                   whole(r[4], "Xb"), whole(r[5], "Yb")});
  return out;
}

std::vector<ReportedZchsZone> parseZchs(const std::string& text) {
  const auto all = lines(text);
  const auto rows = numericRows(all, 1, 2, "zone");
  // An empty list is written as "-1 glist idx": no zone grew brighter.
  if (rows.empty() && !all.empty() && !words(all[0]).empty() && words(all[0])[0] == "-1") return {};
  checkedCount(all, rows.size());
  std::vector<ReportedZchsZone> out;
  for (const auto& r : rows) out.push_back({number(r[0], "zone"), number(r[1], "change")});
  return out;
}

std::vector<ReportedClusterRegion> parseClusters(const std::string& text) {
  const auto all = lines(text);
  const auto rows = numericRows(all, 1, 8, "region");
  checkedCount(all, rows.size());
  std::vector<ReportedClusterRegion> out;
  for (const auto& r : rows)
    out.push_back({whole(r[0], "x1"), whole(r[1], "y1"), whole(r[2], "dx"), whole(r[3], "dy"),
                   whole(r[4], "area"), number(r[5], "intensity"), whole(r[6], "xb"),
                   whole(r[7], "yb")});
  return out;
}

ReportedLegacyProgression parseLegacyProgression(const std::string& text) {
  ReportedLegacyProgression p;
  int group = -1;
  int figures[2] = {0, 0};
  for (std::string_view line : lines(text)) {
    const auto w = words(line);
    if (w.empty()) continue;
    if (w[0] == "Group" && w.size() == 2) {
      group = static_cast<int>(whole(w[1], "group")) - 1;
      if (group < 0 || group > 1) throw std::runtime_error("unknown group " + std::string(w[1]));
      continue;
    }
    if (line.rfind("Tumor Progression is ", 0) == 0) {
      p.verdict = std::string(line.substr(21));
      continue;
    }
    if (group < 0 || !isNumber(w[0]) || w.size() < 2) continue;
    const double v = number(w[0], "figure");
    ReportedLegacyProgression::Group& g = p.groups[group];
    double* slots[] = {&g.totalArea,     &g.meanArea,        &g.medianArea, &g.totalIntensity,
                       &g.meanIntensity, &g.medianIntensity, &g.tumourIndex};
    if (figures[group] < 7) *slots[figures[group]++] = v;
  }
  if (figures[0] < 7 || figures[1] < 7)
    throw std::runtime_error("the group figures are incomplete");
  if (p.verdict != "STABLE" && p.verdict != "INCREASING" && p.verdict != "DECREASING")
    throw std::runtime_error("the verdict line is missing");
  return p;
}

}  // namespace pelk
