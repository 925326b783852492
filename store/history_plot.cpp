#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "store/history_format.h"

namespace pelk {
namespace {

constexpr double kWidth = 860, kHeight = 420;
constexpr double kLeft = 80, kRight = 220, kTop = 50, kBottom = 70;

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

struct Series {
  const char* name;
  const char* colour;
  std::optional<VerdictSummary> RunSummary::*verdict;
};

}  // namespace

std::string plotHistory(const std::vector<RunSummary>& runs, const std::string& title) {
  const Series series[] = {{"robust lesion burden", "#1565c0", &RunSummary::robust},
                           {"legacy region area", "#ef6c00", &RunSummary::legacy}};
  double top = 1;
  double first = 0, last = 0;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    double t = secondsOf(runs[i].startedAt);
    first = i == 0 ? t : std::min(first, t);
    last = i == 0 ? t : std::max(last, t);
    for (const Series& s : series)
      if (const auto& v = runs[i].*s.verdict) top = std::max(top, v->burden2);
  }
  // A rounded top for the axis: 1, 2 or 5 times a power of ten.
  double step = std::pow(10.0, std::floor(std::log10(top / 5)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (top / (step * m) <= 5) {
      step *= m;
      break;
    }
  double yMax = step * std::ceil(top / step);
  double plotW = kWidth - kLeft - kRight, plotH = kHeight - kTop - kBottom;
  auto xOf = [&](std::size_t i) {
    if (runs.size() < 2) return kLeft + plotW / 2;
    if (last > first)
      return kLeft + plotW * (secondsOf(runs[i].startedAt) - first) / (last - first);
    return kLeft + plotW * static_cast<double>(i) / static_cast<double>(runs.size() - 1);
  };
  auto yOf = [&](double v) { return kTop + plotH * (1 - v / yMax); };

  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
      "width=\"" +
      number(kWidth) + "\" height=\"" + number(kHeight) +
      "\" font-family=\"sans-serif\" font-size=\"12\">\n"
      "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
      "<text x=\"" +
      number(kLeft) + "\" y=\"28\" font-size=\"16\">" + xmlText(title) + "</text>\n";
  for (double v = 0; v <= yMax + step / 2; v += step) {
    svg += "<line x1=\"" + number(kLeft) + "\" x2=\"" + number(kLeft + plotW) + "\" y1=\"" +
           number(yOf(v)) + "\" y2=\"" + number(yOf(v)) + "\" stroke=\"#ddd\"/>\n";
    svg += "<text x=\"" + number(kLeft - 8) + "\" y=\"" + number(yOf(v) + 4) +
           "\" text-anchor=\"end\">" + std::to_string(static_cast<long long>(v)) + "</text>\n";
  }
  svg += "<text transform=\"translate(20," + number(kTop + plotH / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">burden (pixels)</text>\n";
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

  double legendY = kTop + 10;
  for (const Series& s : series) {
    std::string points;
    for (std::size_t i = 0; i < runs.size(); ++i)
      if (const auto& v = runs[i].*s.verdict)
        points += number(xOf(i)) + "," + number(yOf(v->burden2)) + " ";
    if (points.empty()) continue;
    svg += "<polyline fill=\"none\" stroke=\"" + std::string(s.colour) +
           "\" stroke-width=\"2\" points=\"" + points + "\"/>\n";
    for (std::size_t i = 0; i < runs.size(); ++i)
      if (const auto& v = runs[i].*s.verdict)
        svg += "<circle cx=\"" + number(xOf(i)) + "\" cy=\"" + number(yOf(v->burden2)) +
               "\" r=\"5\" fill=\"" + verdictColour(v->verdict) + "\"><title>" +
               xmlText(runs[i].startedAt + " " + v->verdict + " " + number(v->burden2)) +
               "</title></circle>\n";
    svg += "<line x1=\"" + number(kWidth - kRight + 15) + "\" x2=\"" +
           number(kWidth - kRight + 35) + "\" y1=\"" + number(legendY) + "\" y2=\"" +
           number(legendY) + "\" stroke=\"" + s.colour + "\" stroke-width=\"2\"/>\n<text x=\"" +
           number(kWidth - kRight + 40) + "\" y=\"" + number(legendY + 4) + "\">" + s.name +
           "</text>\n";
    legendY += 20;
  }
  for (const char* verdict : {"INCREASING", "STABLE", "DECREASING"}) {
    svg += "<circle cx=\"" + number(kWidth - kRight + 25) + "\" cy=\"" + number(legendY) +
           "\" r=\"5\" fill=\"" + verdictColour(verdict) + "\"/>\n<text x=\"" +
           number(kWidth - kRight + 40) + "\" y=\"" + number(legendY + 4) + "\">" + verdict +
           "</text>\n";
    legendY += 20;
  }
  if (runs.empty())
    svg += "<text x=\"" + number(kLeft + plotW / 2) + "\" y=\"" + number(kTop + plotH / 2) +
           "\" text-anchor=\"middle\">no run with a verdict</text>\n";
  return svg + "</svg>\n";
}

}  // namespace pelk
