#include "progression/progression_report.h"

#include <cmath>
#include <cstdio>

#include "common/format.h"

namespace pelk {
namespace {

std::string jsonString(const std::string& s) {
  std::string out = "\"";
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

// Fixed-point text without the "-0.00" that a tiny negative estimate would print.
std::string fixed(double value, int decimals) {
  std::string text = realText(value, 0, decimals);
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string jsonNumber(double value, int decimals) {
  return std::isfinite(value) ? fixed(value, decimals) : "null";
}

std::string areaMm2(const RobustTpaResult& r, long long pixels) {
  return r.hasSpacing() ? jsonNumber(static_cast<double>(pixels) * r.mm2PerPixel(), 3) : "null";
}

std::string areaText(const RobustTpaResult& r, long long pixels) {
  std::string text = std::to_string(pixels) + " px";
  if (r.hasSpacing())
    text += " (" + fixed(static_cast<double>(pixels) * r.mm2PerPixel(), 1) + " mm2)";
  return text;
}

int lesionCount(const RobustTpaResult& r, int followUp) {
  int n = 0;
  for (const auto& l : r.lesions) n += l.followUp == followUp;
  return n;
}

std::string burdenChange(const RobustTpaResult& r) {
  if (r.burden1 == 0) return r.burden2 == 0 ? "none" : "from none";
  const double percent =
      100.0 * static_cast<double>(r.burden2 - r.burden1) / static_cast<double>(r.burden1);
  return (percent >= 0 ? "+" : "") + fixed(percent, 1) + "%";
}

}  // namespace

std::string progressionJson(const RobustTpaResult& r) {
  std::string j = "{\r\n";
  j += "  \"verdict\": \"" + std::string(verdictName(r.verdict)) + "\",\r\n";
  j += "  \"burden1\": " + std::to_string(r.burden1) + ",\r\n";
  j += "  \"burden2\": " + std::to_string(r.burden2) + ",\r\n";
  j += "  \"burden_unit\": \"pixels\",\r\n";
  j += "  \"burden1_mm2\": " + areaMm2(r, r.burden1) + ",\r\n";
  j += "  \"burden2_mm2\": " + areaMm2(r, r.burden2) + ",\r\n";
  j += "  \"new_lesions\": " + std::to_string(r.newLesions) + ",\r\n";
  j += "  \"width\": " + std::to_string(r.width) + ",\r\n";
  j += "  \"height\": " + std::to_string(r.height) + ",\r\n";
  j += "  \"baseline\": " + jsonString(r.baselineName) + ",\r\n";
  j += "  \"followups\": [";
  for (int i = 0; i < 2; ++i) {
    const FollowUpAlignment& f = r.followUps[i];
    j += i ? ",\r\n" : "\r\n";
    j += "    {\"file\": " + jsonString(f.name);
    j += ", \"shift\": [" + jsonNumber(f.shiftX, 3) + ", " + jsonNumber(f.shiftY, 3) + "]";
    j += ", \"rotation\": " + jsonNumber(f.rotationDeg, 3);
    j += ", \"gain\": " + jsonNumber(f.gain, 4);
    j += ", \"offset\": " + jsonNumber(f.offset, 2);
    j += ", \"correlation\": " + jsonNumber(f.correlation, 4);
    j += ", \"noise\": " + jsonNumber(f.scanNoise, 2);
    j += ", \"threshold\": " + jsonNumber(f.threshold, 2);
    j += ", \"burden\": " + std::to_string(f.burdenPixels);
    j += ", \"legacy_warnings\": [";
    for (std::size_t w = 0; w < f.legacyWarnings.size(); ++w)
      j += (w ? ", " : "") + jsonString(f.legacyWarnings[w]);
    j += "]}";
  }
  j += "\r\n  ],\r\n";
  j += "  \"components\": [";
  for (std::size_t i = 0; i < r.lesions.size(); ++i) {
    const Lesion& l = r.lesions[i];
    j += i ? ",\r\n" : "\r\n";
    j += "    {\"followup\": " + std::to_string(l.followUp);
    j += ", \"area\": " + std::to_string(l.areaPixels);
    j += ", \"area_mm2\": " + areaMm2(r, l.areaPixels);
    j += ", \"mean_change\": " + jsonNumber(l.meanChange, 2);
    j += ", \"centroid\": [" + jsonNumber(l.centroidX, 2) + ", " + jsonNumber(l.centroidY, 2) + "]";
    j += std::string(", \"new\": ") + (l.isNew ? "true" : "false") + "}";
  }
  j += r.lesions.empty() ? "]\r\n" : "\r\n  ]\r\n";
  j += "}\r\n";
  return j;
}

std::vector<std::string> resultsSection(const RobustTpaResult& r) {
  std::vector<std::string> lines;
  lines.push_back("Robust Tumour Progression Analysis");
  lines.push_back("Baseline: " + r.baselineName);
  for (int i = 0; i < 2; ++i) {
    const FollowUpAlignment& f = r.followUps[i];
    const int n = i + 1;
    lines.push_back("Follow-up " + std::to_string(n) + ": " + f.name);
    lines.push_back("  Shift " + fixed(f.shiftX, 2) + ", " + fixed(f.shiftY, 2) + " px  Rotation " +
                    fixed(f.rotationDeg, 2) + " deg  Gain " + fixed(f.gain, 3) + "  Offset " +
                    fixed(f.offset, 1));
    lines.push_back("  Lesions " + std::to_string(lesionCount(r, n)) + "  Burden " +
                    areaText(r, f.burdenPixels) + "  Threshold " + fixed(f.threshold, 1) +
                    " grey levels");
  }
  lines.push_back("New lesions in follow-up 2: " + std::to_string(r.newLesions));
  lines.push_back("Burden change: " + burdenChange(r));
  lines.push_back("Robust verdict: " + std::string(verdictName(r.verdict)));
  const bool warned =
      !r.followUps[0].legacyWarnings.empty() || !r.followUps[1].legacyWarnings.empty();
  if (warned) {
    lines.push_back("Warning: the legacy verdict (10. Tumor Prog. Analysis-1) is unreliable here:");
    for (const auto& f : r.followUps)
      for (const auto& w : f.legacyWarnings) lines.push_back("  " + w);
  }
  return lines;
}

std::string progressionText(const RobustTpaResult& r) {
  std::string t;
  for (const auto& line : resultsSection(r)) t += line + "\r\n";
  t += "\r\n";
  t += "Lesions (change against the baseline)\r\n";
  t += "FU     Area px";
  if (r.hasSpacing()) t += "   Area mm2";
  t += "  Mean change  Centroid x  Centroid y  New\r\n";
  for (const Lesion& l : r.lesions) {
    appendInt(t, l.followUp, 2);
    appendInt(t, l.areaPixels, 12);
    if (r.hasSpacing()) appendReal(t, static_cast<double>(l.areaPixels) * r.mm2PerPixel(), 11, 2);
    appendReal(t, l.meanChange, 13, 1);
    appendReal(t, l.centroidX, 12, 1);
    appendReal(t, l.centroidY, 12, 1);
    t += l.isNew ? "  yes" : "  no";
    t += "\r\n";
  }
  if (r.lesions.empty()) t += "none\r\n";
  return t;
}

}  // namespace pelk
