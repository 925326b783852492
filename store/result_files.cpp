#include "store/result_files.h"

#include <array>
#include <charconv>
#include <nlohmann/json.hpp>
#include <vector>

#include "common/file_io.h"
#include "common/io_error.h"
#include "store/sql_database.h"

namespace pelk {
namespace {

std::string contentOf(const std::string& path) {
  try {
    return readWholeFile(path);
  } catch (const IoError& e) {
    throw StoreError(std::string("result file ") + path + ": " + e.what());
  }
}

[[noreturn]] void malformed(const std::string& path, const std::string& what) {
  throw StoreError("result file " + path + ": " + what);
}

std::vector<std::string_view> lines(std::string_view text) {
  std::vector<std::string_view> out;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return out;
}

// The numbers of a line separated by blanks. A result line holds at most eight; more are
// counted but not kept, which no reader accepts.
struct LineNumbers {
  std::array<double, 8> values{};
  std::size_t count = 0;
  bool empty() const { return count == 0; }
  std::size_t size() const { return count; }
  double operator[](std::size_t i) const { return values[i]; }
  double front() const { return values[0]; }
};

// Most words of a result line are whole numbers, read here far faster than as general reals:
// the end of the word, or null when it is not one of at most 15 digits (exact as a double).
const char* wholeNumber(const char* first, const char* last, double& value) {
  const char* p = first;
  const bool negative = p != last && *p == '-';
  if (negative) ++p;
  const char* digits = p;
  std::int64_t n = 0;
  while (p != last && *p >= '0' && *p <= '9' && p - digits < 15) n = n * 10 + (*p++ - '0');
  if (p == digits || (p != last && *p != ' ' && *p != '\t')) return nullptr;
  value = negative ? -static_cast<double>(n) : static_cast<double>(n);
  return p;
}

// Nothing when any word is not a number (a heading line).
std::optional<LineNumbers> numbers(std::string_view line) {
  LineNumbers found;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t') {
      ++i;
      continue;
    }
    double v = 0.0;
    const char* end = wholeNumber(line.data() + i, line.data() + line.size(), v);
    if (!end) {
      auto parsed = std::from_chars(line.data() + i, line.data() + line.size(), v);
      if (parsed.ec != std::errc()) return std::nullopt;
      end = parsed.ptr;
    }
    if (end != line.data() + line.size() && *end != ' ' && *end != '\t') return std::nullopt;
    if (found.count < found.values.size()) found.values[found.count] = v;
    ++found.count;
    i = static_cast<std::size_t>(end - line.data());
  }
  return found;
}

int whole(double v) { return static_cast<int>(v); }

}  // namespace

RankResult readRankScript(const std::string& path, std::string analysis) {
  std::string text = contentOf(path);
  // The insert ends "...,RESULT,TRUE);" or "...,RESULT,FALSE);".
  std::size_t close = text.rfind(");");
  std::size_t flagComma = close == std::string::npos ? close : text.rfind(',', close);
  std::size_t valueComma = flagComma == std::string::npos || flagComma == 0
                               ? std::string::npos
                               : text.rfind(',', flagComma - 1);
  if (valueComma == std::string::npos) malformed(path, "no result in its insert");
  std::string flag = text.substr(flagComma + 1, close - flagComma - 1);
  auto value = numbers(std::string_view(text).substr(valueComma + 1, flagComma - valueComma - 1));
  if (!value || value->size() != 1 || (flag != "TRUE" && flag != "FALSE"))
    malformed(path, "no result in its insert");
  return {std::move(analysis), value->front(), flag == "TRUE"};
}

std::vector<MchsBlock> readMchsResults(const std::string& path) {
  std::string text = contentOf(path);
  std::vector<MchsBlock> blocks;
  for (std::string_view line : lines(text)) {
    auto v = numbers(line);
    if (!v || v->empty()) continue;  // the heading lines
    if (v->size() != 6) malformed(path, "a block line without six numbers");
    const auto& n = *v;
    blocks.push_back({whole(n[0]), whole(n[1]), whole(n[2]), n[3], whole(n[4]), whole(n[5])});
  }
  return blocks;
}

std::vector<ZchsZone> readZchsZones(const std::string& path) {
  std::string text = contentOf(path);
  std::vector<std::string_view> all = lines(text);
  std::vector<ZchsZone> zones;
  for (std::size_t i = 1; i < all.size(); ++i) {  // line 1 is "N glist idx"
    auto v = numbers(all[i]);
    if (!v || v->empty()) continue;
    if (v->size() != 2) malformed(path, "a zone line without two numbers");
    zones.push_back({static_cast<int>(zones.size()) + 1, (*v)[0], (*v)[1]});
  }
  return zones;
}

std::vector<ClusterRegion> readClusterRegions(const std::string& path, int group) {
  std::string text = contentOf(path);
  std::vector<std::string_view> all = lines(text);
  std::vector<ClusterRegion> regions;
  for (std::size_t i = 1; i < all.size(); ++i) {  // line 1 is the count
    auto v = numbers(all[i]);
    if (!v || v->empty()) continue;
    if (v->size() != 8) malformed(path, "a region line without eight numbers");
    const auto& n = *v;
    regions.push_back({group, static_cast<int>(regions.size()) + 1, whole(n[0]), whole(n[1]),
                       whole(n[2]), whole(n[3]), whole(n[4]), n[5], whole(n[6]), whole(n[7])});
  }
  return regions;
}

LegacyProgression readProgressionTotals(const std::string& path) {
  std::string text = contentOf(path);
  std::vector<double> values;
  LegacyProgression p;
  constexpr std::string_view kVerdict = "Tumor Progression is ";
  for (std::string_view line : lines(text)) {
    if (line.starts_with(kVerdict)) {
      p.verdict = std::string(line.substr(kVerdict.size()));
      continue;
    }
    // "  484.000 Total Area": the number is the first word.
    std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) continue;
    std::size_t end = line.find(' ', start);
    auto v = numbers(line.substr(start, end == std::string_view::npos ? end : end - start));
    if (v && v->size() == 1) values.push_back(v->front());
  }
  if (values.size() != 14 || p.verdict.empty())
    malformed(path, "not the fourteen totals and a verdict");
  ProgressionGroup* groups[] = {&p.group1, &p.group2};
  for (int g = 0; g < 2; ++g) {
    const double* v = values.data() + 7 * g;
    *groups[g] = {v[0], v[1], v[2], v[3], v[4], v[5], v[6]};
  }
  return p;
}

RobustProgression readRobustProgression(const std::string& path) {
  std::string text = contentOf(path);
  try {
    auto json = nlohmann::json::parse(text);
    auto optionalReal = [](const nlohmann::json& v) {
      return v.is_null() ? std::nullopt : std::optional<double>(v.get<double>());
    };
    RobustProgression p;
    p.verdict = json.at("verdict").get<std::string>();
    p.burden1 = json.at("burden1").get<std::int64_t>();
    p.burden2 = json.at("burden2").get<std::int64_t>();
    p.burden1Mm2 = optionalReal(json.at("burden1_mm2"));
    p.burden2Mm2 = optionalReal(json.at("burden2_mm2"));
    p.newLesions = json.at("new_lesions").get<int>();
    for (const auto& c : json.at("components"))
      p.components.push_back({c.at("followup").get<int>(), c.at("area").get<std::int64_t>(),
                              optionalReal(c.at("area_mm2")), c.at("mean_change").get<double>(),
                              c.at("centroid").at(0).get<double>(),
                              c.at("centroid").at(1).get<double>(), c.at("new").get<bool>()});
    return p;
  } catch (const nlohmann::json::exception& e) {
    malformed(path, e.what());
  }
}

StudyProgression readStudyResults(const std::string& path) {
  std::string text = contentOf(path);
  try {
    auto json = nlohmann::json::parse(text);
    auto optionalReal = [](const nlohmann::json& v) {
      return v.is_null() ? std::nullopt : std::optional<double>(v.get<double>());
    };
    auto triple = [](const nlohmann::json& v) {
      return std::array<double, 3>{v.at(0).get<double>(), v.at(1).get<double>(),
                                   v.at(2).get<double>()};
    };
    StudyProgression s;
    for (const auto& f : json.at("followups"))
      s.followUps.push_back({f.at("path").get<std::string>(), triple(f.at("rotation_deg")),
                             triple(f.at("translation_mm")), f.at("metric").get<double>(),
                             f.at("converged").get<bool>()});
    s.slice = json.at("slice").get<std::int64_t>();
    const auto& p = json.at("progression");
    if (!p.at("verdict").is_null()) s.verdict = p.at("verdict").get<std::string>();
    s.burdenMm3 = p.at("burden_mm3").get<std::vector<double>>();
    if (s.burdenMm3.empty() || s.burdenMm3.size() != s.followUps.size())
      malformed(path, "one burden per follow-up expected");
    s.growthMm3 = optionalReal(p.at("growth_mm3"));
    s.shrinkageMm3 = optionalReal(p.at("shrinkage_mm3"));
    s.newLesions = p.at("new_lesions").get<int>();
    for (const auto& l : p.at("lesions"))
      s.lesions.push_back({l.at("followup").get<int>(), l.at("volume_mm3").get<double>(),
                           triple(l.at("centroid_mm")), l.at("mean_change").get<double>(),
                           l.at("new").get<bool>()});
    return s;
  } catch (const nlohmann::json::exception& e) {
    malformed(path, e.what());
  }
}

}  // namespace pelk
