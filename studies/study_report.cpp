#include "studies/study_report.h"

#include <cstdio>

namespace pelk {
namespace {

std::string number(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  const std::string s(text);
  // No "-0.00": a rounded zero has no sign.
  return s.find_first_not_of("-0.") == std::string::npos ? s.substr(s[0] == '-') : s;
}

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string triple(const Vec3& v, int decimals, const char* separator) {
  return number(v[0], decimals) + separator + number(v[1], decimals) + separator +
         number(v[2], decimals);
}

double burdenMm3(const StudyResult& r, std::size_t n) {
  return r.followUps[n].change.burdenMm3(r.baseline);
}

}  // namespace

std::string studyJson(const StudyRequest& request, const StudyResult& r) {
  const double voxelMm3 = r.baseline.voxelVolumeMm3();
  std::string j = "{\n  \"baseline\": " + jsonString(request.baseline) + ",\n  \"followups\": [";
  for (std::size_t n = 0; n < r.followUps.size(); ++n) {
    const auto& reg = r.followUps[n].registration;
    j += std::string(n ? "," : "") + "\n    {\"path\": " + jsonString(r.followUps[n].path) +
         ", \"rotation_deg\": [" + triple(reg.rotationDeg, 3, ", ") + "], \"translation_mm\": [" +
         triple(reg.translationMm, 3, ", ") + "], \"metric\": " + number(reg.metric, 5) +
         ", \"converged\": " + (reg.converged ? "true" : "false") + "}";
  }
  j += "\n  ],\n  \"slice\": " + std::to_string(r.slice) +
       ",\n  \"progression\": {\n    \"verdict\": ";
  j += r.verdict ? jsonString(std::string(studyVerdictName(*r.verdict))) : "null";
  j += ",\n    \"burden_mm3\": [";
  for (std::size_t n = 0; n < r.followUps.size(); ++n)
    j += (n ? ", " : "") + number(burdenMm3(r, n), 3);
  j += "],\n";
  if (r.followUps.size() == 2) {
    j += "    \"growth_mm3\": " + number(r.growthVoxels * voxelMm3, 3) + ",\n";
    j += "    \"shrinkage_mm3\": " + number(r.shrinkageVoxels * voxelMm3, 3) + ",\n";
  } else {
    j += "    \"growth_mm3\": null,\n    \"shrinkage_mm3\": null,\n";
  }
  j += "    \"new_lesions\": " + std::to_string(r.newLesions) + ",\n    \"lesions\": [";
  bool first = true;
  for (std::size_t n = 0; n < r.followUps.size(); ++n)
    for (const auto& l : r.followUps[n].change.lesions) {
      j += std::string(first ? "" : ",") + "\n      {\"followup\": " + std::to_string(n + 1) +
           ", \"volume_mm3\": " + number(l.volumeMm3, 3) + ", \"centroid_mm\": [" +
           triple(l.centroidMm, 2, ", ") + "], \"mean_change\": " + number(l.meanChange, 3) +
           ", \"new\": " + (l.isNew ? "true" : "false") + "}";
      first = false;
    }
  j += first ? "]\n  }\n}\n" : "\n    ]\n  }\n}\n";
  return j;
}

std::string studyText(const StudyRequest& request, const StudyResult& r) {
  const StudyVolume& b = r.baseline;
  std::string t = "Study comparison\n";
  t += "Patient: " + request.patient + "  Test: " + request.test +
       "  Hospital: " + request.hospital + "  Date: " + request.date + "\n";
  t += "Baseline: " + request.baseline + " (" + b.description + ", " + std::to_string(b.size[0]) +
       " x " + std::to_string(b.size[1]) + " x " + std::to_string(b.size[2]) + " voxels of " +
       triple(b.spacingMm, 2, " x ") + " mm)\n";
  for (std::size_t n = 0; n < r.followUps.size(); ++n) {
    const auto& f = r.followUps[n];
    const auto& reg = f.registration;
    const auto& c = f.change;
    t += "Follow-up " + std::to_string(n + 1) + ": " + f.path + " (" + f.description + ")\n";
    t += "  registered: rotation " + triple(reg.rotationDeg, 2, " / ") +
         " deg about x / y / z, shift " + triple(reg.translationMm, 2, " / ") +
         " mm, mutual information " + number(reg.metric, 4) + "\n";
    if (!reg.converged)
      t += "  WARNING: the registration did not converge (" + reg.stopReason +
           "); check the matched slices before trusting the change\n";
    t += "  intensity: follow-up = " + number(c.intensity.centreGain, 3) +
         " x baseline at the centre, " + number(c.intensity.lowestGain, 3) + " to " +
         number(c.intensity.highestGain, 3) + " across the head; noise " + number(c.noiseSigma, 2) +
         ", threshold " + number(c.threshold, 2) + "\n";
    t += "  burden: " + number(burdenMm3(r, n), 1) + " mm3 of significant positive change in " +
         std::to_string(c.lesions.size()) + (c.lesions.size() == 1 ? " lesion\n" : " lesions\n");
    for (const auto& l : c.lesions)
      t += "    " + number(l.volumeMm3, 1) + " mm3 at (" + triple(l.centroidMm, 1, ", ") +
           ") mm, mean change " + number(l.meanChange, 2) + (l.isNew ? ", NEW\n" : "\n");
  }
  if (r.verdict) {
    const double voxelMm3 = b.voxelVolumeMm3();
    t += "Between the follow-ups: growth " + number(r.growthVoxels * voxelMm3, 1) +
         " mm3, shrinkage " + number(r.shrinkageVoxels * voxelMm3, 1) + " mm3, " +
         std::to_string(r.newLesions) + " new lesion" + (r.newLesions == 1 ? "" : "s") + "\n";
    const double b1 = burdenMm3(r, 0), b2 = burdenMm3(r, 1);
    t += "Verdict: " + std::string(studyVerdictName(*r.verdict));
    if (b1 > 0) t += " (burden 2 is " + number(b2 / b1, 2) + " x burden 1";
    else t += " (no burden at follow-up 1";
    t += "; INCREASING from 1.40 x or a new lesion, DECREASING up to 0.35 x)\n";
  } else {
    t += "Verdict: none (one follow-up only; the verdict compares two)\n";
  }
  t += "Matched slice: " + std::to_string(r.slice) + " of 0-" +
       std::to_string(b.size[static_cast<std::size_t>(r.sliceAxis)] - 1) + " along " +
       "ijk"[r.sliceAxis] +
       (r.sliceGiven           ? " (as given)"
        : r.sliceThroughChange ? " (through the largest change)"
                               : " (the middle; no change found)") +
       ", grey window " + number(r.window.low, 1) + ":" + number(r.window.high, 1) +
       " shared by the slices, follow-ups on the baseline's intensity scale\n";
  return t;
}

}  // namespace pelk
