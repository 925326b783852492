#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "store/history_format.h"

namespace pelk {
namespace {

constexpr double kWidth = 940, kHeight = 420;
// Room on the right for the volume axis of studies and the legend.
constexpr double kLeft = 80, kRight = 300, kTop = 50, kBottom = 70;

std::string xmlText(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML 1.0 at all.
        out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
  }
  return out;
}

std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

// Seconds since 1970 of "YYYY-MM-DDTHH:MM:SS", for spacing the runs by the time between them.
double secondsOf(const std::string& iso) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  double s = 0;
  if (std::sscanf(iso.c_str(), "%d-%d-%dT%d:%d:%lf", &y, &mo, &d, &h, &mi, &s) < 3) return 0;
  using namespace std::chrono;
  auto day = sys_days(year_month_day(year(y), month(static_cast<unsigned>(mo)),
                                     std::chrono::day(static_cast<unsigned>(d))));
  return static_cast<double>(day.time_since_epoch().count()) * 86400.0 + h * 3600 + mi * 60 + s;
}

const char* verdictColour(const std::string& verdict) {
  if (verdict == "INCREASING") return "#c62828";
  if (verdict == "DECREASING") return "#2e7d32";
  return "#546e7a";
}

// One line of the chart: a figure and verdict of the runs that have one.
struct Point {
  double value;
  std::string verdict;
};
struct Series {
  const char* name;
  const char* colour;
  bool volume;  // mm3 of whole studies, against the right axis; else pixels, the left
  std::optional<Point> (*of)(const RunSummary&);
};

std::optional<Point> burdenOf(const std::optional<VerdictSummary>& v) {
  return v ? std::optional<Point>({v->burden2, v->verdict}) : std::nullopt;
}

const Series kSeries[] = {
    {"robust lesion burden", "#1565c0", false,
     [](const RunSummary& r) { return burdenOf(r.robust); }},
    {"legacy region area", "#ef6c00", false,
     [](const RunSummary& r) { return burdenOf(r.legacy); }},
    {"study lesion volume", "#6a1b9a", true,
     [](const RunSummary& r) -> std::optional<Point> {
       if (!r.study) return std::nullopt;
       // The latest follow-up's volume; a study of one follow-up has no verdict.
       return Point{r.study->burden2Mm3.value_or(r.study->burden1Mm3),
                    r.study->verdict.value_or("no verdict")};
     }},
};

// An axis from 0 to a rounded top (1, 2 or 5 times a power of ten) at or above `top`.
struct Axis {
  double step = 1, max = 1;
  explicit Axis(double top) {
    top = std::max(top, 1.0);
    step = std::pow(10.0, std::floor(std::log10(top / 5)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
      if (top / (step * m) <= 5) {
        step *= m;
        break;
      }
    max = step * std::ceil(top / step);
  }
};

}  // namespace

std::string plotHistory(const std::vector<RunSummary>& runs, const std::string& title) {
  double top[2] = {0, 0};  // pixels, mm3
  bool drawn[2] = {false, false};
  double first = 0, last = 0;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    double t = secondsOf(runs[i].startedAt);
    first = i == 0 ? t : std::min(first, t);
    last = i == 0 ? t : std::max(last, t);
    for (const Series& s : kSeries)
      if (auto p = s.of(runs[i])) {
        top[s.volume] = std::max(top[s.volume], p->value);
        drawn[s.volume] = true;
      }
  }
  const Axis axes[2] = {Axis(top[0]), Axis(top[1])};
  double plotW = kWidth - kLeft - kRight, plotH = kHeight - kTop - kBottom;
  auto xOf = [&](std::size_t i) {
    if (runs.size() < 2) return kLeft + plotW / 2;
    if (last > first)
      return kLeft + plotW * (secondsOf(runs[i].startedAt) - first) / (last - first);
    return kLeft + plotW * static_cast<double>(i) / static_cast<double>(runs.size() - 1);
  };
  auto yOf = [&](double v, const Axis& axis) { return kTop + plotH * (1 - v / axis.max); };

  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
      "width=\"" +
      number(kWidth) + "\" height=\"" + number(kHeight) +
      "\" font-family=\"sans-serif\" font-size=\"12\">\n"
      "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
      "<text x=\"" +
      number(kLeft) + "\" y=\"28\" font-size=\"16\">" + xmlText(title) + "</text>\n";
  // The pixel axis on the left (also when nothing is drawn), the volume axis on the right.
  for (bool volume : {false, true}) {
    if (volume && !drawn[1]) continue;
    if (!volume && drawn[1] && !drawn[0]) continue;
    const Axis& axis = axes[volume];
    const double labelX = volume ? kLeft + plotW + 8 : kLeft - 8;
    for (double v = 0; v <= axis.max + axis.step / 2; v += axis.step) {
      if (!volume || !drawn[0])
        svg += "<line x1=\"" + number(kLeft) + "\" x2=\"" + number(kLeft + plotW) + "\" y1=\"" +
               number(yOf(v, axis)) + "\" y2=\"" + number(yOf(v, axis)) + "\" stroke=\"#ddd\"/>\n";
      svg += "<text x=\"" + number(labelX) + "\" y=\"" + number(yOf(v, axis) + 4) +
             "\" text-anchor=\"" + (volume ? "start" : "end") + "\">" +
             std::to_string(static_cast<long long>(v)) + "</text>\n";
    }
    svg += "<text transform=\"translate(" + number(volume ? kLeft + plotW + 60 : 20) + "," +
           number(kTop + plotH / 2) + ") rotate(-90)\" text-anchor=\"middle\">" +
           (volume ? "study volume (mm3)" : "burden (pixels)") + "</text>\n";
  }
  // Dates under the axis, at most eight so that they do not run into each other.
  std::size_t every = std::max<std::size_t>(1, (runs.size() + 7) / 8);
  std::string lastDay;
  for (std::size_t i = 0; i < runs.size(); i += every) {
    std::string day = runs[i].startedAt.substr(0, 10);
    if (day == lastDay) continue;  // one label for runs of the same day
    lastDay = day;
    svg += "<text x=\"" + number(xOf(i)) + "\" y=\"" + number(kTop + plotH + 20) +
           "\" text-anchor=\"middle\">" + xmlText(day) + "</text>\n";
  }

  const double legendX = kWidth - kRight + 80;
  double legendY = kTop + 10;
  for (const Series& s : kSeries) {
    const Axis& axis = axes[s.volume];
    std::string points, marks;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      auto p = s.of(runs[i]);
      if (!p) continue;
      const double x = xOf(i), y = yOf(p->value, axis);
      points += number(x) + "," + number(y) + " ";
      // Studies are marked by squares, the 2-D analyses by dots, each in its verdict's colour.
      marks += (s.volume ? "<rect x=\"" + number(x - 5) + "\" y=\"" + number(y - 5) +
                               "\" width=\"10\" height=\"10\""
                         : "<circle cx=\"" + number(x) + "\" cy=\"" + number(y) + "\" r=\"5\"") +
               " fill=\"" + verdictColour(p->verdict) + "\"><title>" +
               xmlText(runs[i].startedAt + " " + p->verdict + " " + number(p->value) +
                       (s.volume ? " mm3" : "")) +
               (s.volume ? "</title></rect>\n" : "</title></circle>\n");
    }
    if (points.empty()) continue;
    svg += "<polyline fill=\"none\" stroke=\"" + std::string(s.colour) +
           "\" stroke-width=\"2\" points=\"" + points + "\"/>\n" + marks;
    svg += "<line x1=\"" + number(legendX - 10) + "\" x2=\"" + number(legendX + 10) + "\" y1=\"" +
           number(legendY) + "\" y2=\"" + number(legendY) + "\" stroke=\"" + s.colour +
           "\" stroke-width=\"2\"/>\n<text x=\"" + number(legendX + 15) + "\" y=\"" +
           number(legendY + 4) + "\">" + s.name + (s.volume ? " (squares)" : "") + "</text>\n";
    legendY += 20;
  }
  for (const char* verdict : {"INCREASING", "STABLE", "DECREASING"}) {
    svg += "<circle cx=\"" + number(legendX) + "\" cy=\"" + number(legendY) + "\" r=\"5\" fill=\"" +
           verdictColour(verdict) + "\"/>\n<text x=\"" + number(legendX + 15) + "\" y=\"" +
           number(legendY + 4) + "\">" + verdict + "</text>\n";
    legendY += 20;
  }
  if (runs.empty())
    svg += "<text x=\"" + number(kLeft + plotW / 2) + "\" y=\"" + number(kTop + plotH / 2) +
           "\" text-anchor=\"middle\">no run with a verdict</text>\n";
  return svg + "</svg>\n";
}

}  // namespace pelk
