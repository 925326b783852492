#include <nlohmann/json.hpp>
#include <stdexcept>

#include "report/run_results.h"

namespace pelk {
namespace {

using nlohmann::json;

// A required member of the given kind; the reason names it when it is missing or of another kind.
const json& member(const json& j, const char* name) {
  if (!j.is_object() || !j.contains(name))
    throw std::runtime_error(std::string("\"") + name + "\" is missing");
  return j.at(name);
}

double real(const json& j, const char* name) {
  const json& v = member(j, name);
  if (!v.is_number()) throw std::runtime_error(std::string("\"") + name + "\" is not a number");
  return v.get<double>();
}

long long count(const json& j, const char* name) {
  const json& v = member(j, name);
  if (!v.is_number_integer())
    throw std::runtime_error(std::string("\"") + name + "\" is not a whole number");
  return v.get<long long>();
}

std::string text(const json& j, const char* name) {
  const json& v = member(j, name);
  if (!v.is_string()) throw std::runtime_error(std::string("\"") + name + "\" is not a text");
  return v.get<std::string>();
}

// A number or null (not measured); absent counts as null.
std::optional<double> optionalReal(const json& j, const char* name) {
  if (!j.contains(name) || j.at(name).is_null()) return std::nullopt;
  return real(j, name);
}

const json& list(const json& j, const char* name) {
  const json& v = member(j, name);
  if (!v.is_array()) throw std::runtime_error(std::string("\"") + name + "\" is not a list");
  return v;
}

std::pair<double, double> pair(const json& j, const char* name) {
  const json& v = list(j, name);
  if (v.size() != 2 || !v[0].is_number() || !v[1].is_number())
    throw std::runtime_error(std::string("\"") + name + "\" is not a pair of numbers");
  return {v[0].get<double>(), v[1].get<double>()};
}

std::array<double, 3> triple(const json& j, const char* name) {
  const json& v = list(j, name);
  if (v.size() != 3) throw std::runtime_error(std::string("\"") + name + "\" is not three numbers");
  std::array<double, 3> out{};
  for (int i = 0; i < 3; ++i) {
    if (!v[i].is_number())
      throw std::runtime_error(std::string("\"") + name + "\" is not three numbers");
    out[i] = v[i].get<double>();
  }
  return out;
}

std::string verdictText(const std::string& v) {
  if (v != "STABLE" && v != "INCREASING" && v != "DECREASING")
    throw std::runtime_error("unknown verdict \"" + v + "\"");
  return v;
}

json parsed(const std::string& bytes) {
  json j = json::parse(bytes, nullptr, false);
  if (j.is_discarded()) throw std::runtime_error("not valid JSON (truncated or damaged)");
  return j;
}

}  // namespace

ReportedRobustProgression parseRobustProgression(const std::string& bytes) {
  const json j = parsed(bytes);
  ReportedRobustProgression p;
  p.verdict = verdictText(text(j, "verdict"));
  p.burden1 = count(j, "burden1");
  p.burden2 = count(j, "burden2");
  p.burden1Mm2 = optionalReal(j, "burden1_mm2");
  p.burden2Mm2 = optionalReal(j, "burden2_mm2");
  p.newLesions = count(j, "new_lesions");
  p.baseline = text(j, "baseline");
  for (const json& f : list(j, "followups")) {
    ReportedRobustProgression::FollowUp out;
    out.file = text(f, "file");
    std::tie(out.shiftX, out.shiftY) = pair(f, "shift");
    out.rotation = real(f, "rotation");
    out.gain = real(f, "gain");
    out.threshold = real(f, "threshold");
    out.burden = count(f, "burden");
    for (const json& w : list(f, "legacy_warnings"))
      if (w.is_string()) out.legacyWarnings.push_back(w.get<std::string>());
    p.followUps.push_back(std::move(out));
  }
  for (const json& c : list(j, "components")) {
    ReportedRobustProgression::Component out;
    out.followUp = static_cast<int>(count(c, "followup"));
    out.area = count(c, "area");
    out.areaMm2 = optionalReal(c, "area_mm2");
    out.meanChange = real(c, "mean_change");
    std::tie(out.centroidX, out.centroidY) = pair(c, "centroid");
    const json& isNew = member(c, "new");
    out.isNew = isNew.is_boolean() && isNew.get<bool>();
    p.components.push_back(out);
  }
  return p;
}

ReportedStudyResult parseStudy(const std::string& bytes) {
  const json j = parsed(bytes);
  ReportedStudyResult s;
  s.baseline = text(j, "baseline");
  for (const json& f : list(j, "followups")) {
    ReportedStudyResult::FollowUp out;
    out.path = text(f, "path");
    out.rotationDeg = triple(f, "rotation_deg");
    out.translationMm = triple(f, "translation_mm");
    out.metric = optionalReal(f, "metric");
    s.followUps.push_back(std::move(out));
  }
  if (j.contains("slice") && !j.at("slice").is_null()) s.slice = count(j, "slice");
  const json& p = member(j, "progression");
  if (!member(p, "verdict").is_null()) s.verdict = verdictText(text(p, "verdict"));
  for (const json& b : list(p, "burden_mm3")) {
    if (!b.is_number())
      throw std::runtime_error("\"burden_mm3\" holds a value that is not a number");
    s.burdenMm3.push_back(b.get<double>());
  }
  s.growthMm3 = optionalReal(p, "growth_mm3");
  s.shrinkageMm3 = optionalReal(p, "shrinkage_mm3");
  if (p.contains("new_lesions") && !p.at("new_lesions").is_null())
    s.newLesions = count(p, "new_lesions");
  if (p.contains("lesions"))
    for (const json& l : list(p, "lesions"))
      s.lesions.push_back({static_cast<int>(count(l, "followup")), real(l, "volume_mm3"),
                           optionalReal(l, "mean_change").value_or(0)});
  return s;
}

}  // namespace pelk
