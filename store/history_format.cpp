#include "store/history_format.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

namespace pelk {

std::string threeDecimals(double v) {
  char text[48];
  std::snprintf(text, sizeof text, "%.3f", v);
  return text;
}

namespace {

std::string optionalFixed(const std::optional<double>& v) { return v ? threeDecimals(*v) : ""; }

std::string verdictText(const std::optional<VerdictSummary>& v) {
  if (!v) return "";
  return v->verdict + " (" + threeDecimals(v->burden1) + " -> " + threeDecimals(v->burden2) + ")";
}

std::string rankText(const std::optional<RankResult>& r) {
  if (!r) return "";
  return threeDecimals(r->result) + (r->significant ? " sig" : " not sig");
}

// The columns every format shows, in order: a header and the value of a run.
struct Column {
  const char* header;
  std::string (*value)(const RunSummary&);
};

const std::vector<Column>& columns() {
  static const std::vector<Column> all = {
      {"run", [](const RunSummary& r) { return std::to_string(r.id); }},
      {"started_at", [](const RunSummary& r) { return r.startedAt; }},
      {"patient", [](const RunSummary& r) { return r.patient; }},
      {"test", [](const RunSummary& r) { return r.test; }},
      {"hospital", [](const RunSummary& r) { return r.hospital; }},
      {"test_date", [](const RunSummary& r) { return r.testDate; }},
      {"command", [](const RunSummary& r) { return r.command; }},
      {"status",
       [](const RunSummary& r) {
         return r.completed ? std::string("completed") : "error: " + r.error;
       }},
      {"standard", [](const RunSummary& r) { return r.standard; }},
      {"reference", [](const RunSummary& r) { return r.reference; }},
      {"third", [](const RunSummary& r) { return r.third; }},
      {"rra1", [](const RunSummary& r) { return r.rra1 ? threeDecimals(r.rra1->result) : ""; }},
      {"rra1_significant",
       [](const RunSummary& r) {
         return r.rra1 ? std::string(r.rra1->significant ? "yes" : "no") : "";
       }},
      {"rra2", [](const RunSummary& r) { return r.rra2 ? threeDecimals(r.rra2->result) : ""; }},
      {"rra2_significant",
       [](const RunSummary& r) {
         return r.rra2 ? std::string(r.rra2->significant ? "yes" : "no") : "";
       }},
      {"mchs_blocks", [](const RunSummary& r) { return std::to_string(r.mchsBlocks); }},
      {"cluster_regions", [](const RunSummary& r) { return std::to_string(r.clusterRegions); }},
      {"legacy_verdict", [](const RunSummary& r) { return r.legacy ? r.legacy->verdict : ""; }},
      {"legacy_area1",
       [](const RunSummary& r) { return r.legacy ? threeDecimals(r.legacy->burden1) : ""; }},
      {"legacy_area2",
       [](const RunSummary& r) { return r.legacy ? threeDecimals(r.legacy->burden2) : ""; }},
      {"robust_verdict", [](const RunSummary& r) { return r.robust ? r.robust->verdict : ""; }},
      {"robust_burden1",
       [](const RunSummary& r) { return r.robust ? threeDecimals(r.robust->burden1) : ""; }},
      {"robust_burden2",
       [](const RunSummary& r) { return r.robust ? threeDecimals(r.robust->burden2) : ""; }},
      {"robust_burden1_mm2",
       [](const RunSummary& r) { return r.robust ? optionalFixed(r.robust->burden1Mm2) : ""; }},
      {"robust_burden2_mm2",
       [](const RunSummary& r) { return r.robust ? optionalFixed(r.robust->burden2Mm2) : ""; }},
      {"study_verdict",
       [](const RunSummary& r) { return r.study ? r.study->verdict.value_or("") : ""; }},
      {"study_burden1_mm3",
       [](const RunSummary& r) { return r.study ? threeDecimals(r.study->burden1Mm3) : ""; }},
      {"study_burden2_mm3",
       [](const RunSummary& r) { return r.study ? optionalFixed(r.study->burden2Mm3) : ""; }},
  };
  return all;
}

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string csv(const std::vector<RunSummary>& runs) {
  std::string out;
  for (const Column& c : columns()) out += std::string(out.empty() ? "" : ",") + c.header;
  out += '\n';
  for (const RunSummary& r : runs) {
    bool first = true;
    for (const Column& c : columns()) {
      if (!first) out += ',';
      first = false;
      out += csvField(c.value(r));
    }
    out += '\n';
  }
  return out;
}

nlohmann::ordered_json optionalNumber(const std::optional<double>& v) {
  return v ? nlohmann::ordered_json(*v) : nlohmann::ordered_json();
}

nlohmann::ordered_json rankJson(const std::optional<RankResult>& r) {
  if (!r) return nullptr;
  return {{"result", r->result}, {"significant", r->significant}};
}

nlohmann::ordered_json verdictJson(const std::optional<VerdictSummary>& v) {
  if (!v) return nullptr;
  return {{"verdict", v->verdict},
          {"burden1", v->burden1},
          {"burden2", v->burden2},
          {"burden1_mm2", optionalNumber(v->burden1Mm2)},
          {"burden2_mm2", optionalNumber(v->burden2Mm2)}};
}

nlohmann::ordered_json studyJson(const std::optional<StudySummary>& s) {
  if (!s) return nullptr;
  return {{"verdict", s->verdict ? nlohmann::ordered_json(*s->verdict) : nlohmann::ordered_json()},
          {"burden1_mm3", s->burden1Mm3},
          {"burden2_mm3", optionalNumber(s->burden2Mm3)}};
}

std::string json(const std::vector<RunSummary>& runs) {
  nlohmann::ordered_json all = nlohmann::ordered_json::array();
  for (const RunSummary& r : runs) {
    auto scan = [](const std::string& path) {
      return path.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(path);
    };
    all.push_back(
        {{"run", r.id},
         {"started_at", r.startedAt},
         {"patient", r.patient},
         {"test", r.test},
         {"hospital", r.hospital},
         {"test_date", r.testDate},
         {"command", r.command},
         {"completed", r.completed},
         {"error", r.completed ? nlohmann::ordered_json() : nlohmann::ordered_json(r.error)},
         {"standard", scan(r.standard)},
         {"reference", scan(r.reference)},
         {"third", scan(r.third)},
         {"rra1", rankJson(r.rra1)},
         {"rra2", rankJson(r.rra2)},
         {"mchs_blocks", r.mchsBlocks},
         {"cluster_regions", r.clusterRegions},
         {"legacy", verdictJson(r.legacy)},
         {"robust", verdictJson(r.robust)},
         {"study", studyJson(r.study)}});
  }
  return all.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + '\n';
}

// A name shown in a terminal table: no control characters, no line breaks.
std::string printable(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  return text;
}

std::size_t displayWidth(const std::string& s) {
  return static_cast<std::size_t>(
      std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xc0) != 0x80; }));
}

}  // namespace

const std::vector<HistoryColumn>& historyTableColumns() {
  static const std::vector<HistoryColumn> all = {
      {"Run", [](const RunSummary& r) { return std::to_string(r.id); }},
      {"Started (UTC)", [](const RunSummary& r) { return r.startedAt.substr(0, 19); }},
      {"Patient", [](const RunSummary& r) { return r.patient; }},
      {"Test", [](const RunSummary& r) { return r.test; }},
      {"Command", [](const RunSummary& r) { return r.command; }},
      {"Scans",
       [](const RunSummary& r) {
         std::string s = r.standard;
         for (const std::string* other : {&r.reference, &r.third})
           if (!other->empty()) s += (s.empty() ? "" : " | ") + *other;
         return s;
       }},
      {"RRA-1", [](const RunSummary& r) { return rankText(r.rra1); }},
      {"RRA-2", [](const RunSummary& r) { return rankText(r.rra2); }},
      {"MCHS",
       [](const RunSummary& r) { return r.mchsBlocks ? std::to_string(r.mchsBlocks) : ""; }},
      {"Regions",
       [](const RunSummary& r) {
         return r.clusterRegions ? std::to_string(r.clusterRegions) : "";
       }},
      {"Verdict", [](const RunSummary& r) { return verdictText(r.legacy); }},
      {"Robust verdict", [](const RunSummary& r) { return verdictText(r.robust); }},
      {"Study verdict (mm3)",
       [](const RunSummary& r) {
         if (!r.study) return std::string();
         std::string burdens = threeDecimals(r.study->burden1Mm3);
         if (r.study->burden2Mm3) burdens += " -> " + threeDecimals(*r.study->burden2Mm3);
         return r.study->verdict ? *r.study->verdict + " (" + burdens + ")" : burdens;
       }},
      {"Status",
       [](const RunSummary& r) { return r.completed ? std::string("ok") : "error: " + r.error; }},
  };
  return all;
}

namespace {

std::string table(const std::vector<RunSummary>& runs) {
  const std::vector<HistoryColumn>& kColumns = historyTableColumns();

  std::vector<std::vector<std::string>> cells;
  std::vector<std::size_t> widths;
  for (const HistoryColumn& c : kColumns) widths.push_back(displayWidth(c.header));
  for (const RunSummary& r : runs) {
    std::vector<std::string> row;
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
      row.push_back(printable(kColumns[i].value(r)));
      widths[i] = std::max(widths[i], displayWidth(row.back()));
    }
    cells.push_back(std::move(row));
  }
  auto line = [&](auto cell) {
    std::string out;
    for (std::size_t i = 0; i < widths.size(); ++i) {
      std::string text = cell(i);
      out += text;
      if (i + 1 < widths.size()) out += std::string(widths[i] - displayWidth(text) + 2, ' ');
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out + '\n';
  };
  std::string out = line([&](std::size_t i) { return std::string(kColumns[i].header); });
  for (const auto& row : cells) out += line([&](std::size_t i) { return row[i]; });
  return out;
}

}  // namespace

std::string formatHistory(const std::vector<RunSummary>& runs, HistoryFormat format) {
  switch (format) {
    case HistoryFormat::kCsv: return csv(runs);
    case HistoryFormat::kJson: return json(runs);
    case HistoryFormat::kTable: break;
  }
  return table(runs);
}

}  // namespace pelk
