#include "report/svg_chart.h"

#include <algorithm>
#include <cmath>

#include "report/html_text.h"

namespace pelk {
namespace {

constexpr double kWidth = 640, kHeight = 260;
constexpr double kLeft = 64, kRight = 16, kTop = 28, kBottom = 46;
constexpr double kPlotW = kWidth - kLeft - kRight, kPlotH = kHeight - kTop - kBottom;

// A round step for about five grid lines between 0 and `top`.
double niceStep(double top) {
  if (!(top > 0)) return 1;
  const double raw = top / 5;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (raw <= m * power) return m * power;
  return 10 * power;
}

struct Scale {
  double low = 0, high = 1, step = 1;
  double y(double v) const { return kTop + kPlotH - (v - low) / (high - low) * kPlotH; }
};

Scale scaleFor(double low, double high) {
  Scale s;
  s.low = std::min(0.0, low);
  const double span = std::max(high, 0.0) - s.low;
  s.step = niceStep(span > 0 ? span : 1);
  s.low = std::floor(s.low / s.step) * s.step;
  s.high = std::max(s.low + s.step, std::ceil(std::max(high, 0.0) / s.step) * s.step);
  return s;
}

std::string num(double v) { return figure(v, 1); }

std::string svgOpen(const std::string& title) {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" viewBox=\"0 0 " + num(kWidth) +
         " " + num(kHeight) + "\" role=\"img\" aria-label=\"" + escapeHtml(title) + "\"><title>" +
         escapeHtml(title) + "</title>";
}

std::string text(double x, double y, const std::string& s, const char* anchor, int size = 11,
                 const char* extra = "") {
  return "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" font-size=\"" + std::to_string(size) +
         "\" text-anchor=\"" + anchor + "\"" + extra + ">" + escapeHtml(s) + "</text>";
}

// Enough decimals to tell the grid lines apart: 2.5 needs one, 0.25 two.
int tickDecimals(double step) {
  for (int d = 0; d < 4; ++d)
    if (std::fabs(step * std::pow(10.0, d) - std::round(step * std::pow(10.0, d))) < 1e-9) return d;
  return 4;
}

std::string axes(const Scale& s, const std::string& xAxis, const std::string& yAxis) {
  std::string out;
  for (double v = s.low; v <= s.high + s.step / 2; v += s.step) {
    const double y = s.y(v);
    out += "<line x1=\"" + num(kLeft) + "\" x2=\"" + num(kLeft + kPlotW) + "\" y1=\"" + num(y) +
           "\" y2=\"" + num(y) + "\" stroke=\"#ddd\"/>";
    out += text(kLeft - 4, y + 4, figure(v, tickDecimals(s.step)), "end", 10);
  }
  out += "<line x1=\"" + num(kLeft) + "\" x2=\"" + num(kLeft) + "\" y1=\"" + num(kTop) +
         "\" y2=\"" + num(kTop + kPlotH) + "\" stroke=\"#444\"/>";
  out += text(kLeft + kPlotW / 2, kHeight - 6, xAxis, "middle");
  out += text(12, kTop + kPlotH / 2, yAxis, "middle", 11,
              (" transform=\"rotate(-90 12 " + num(kTop + kPlotH / 2) + ")\"").c_str());
  return out;
}

std::string numbersTable(const std::string& firstHeader, const std::vector<std::string>& headers,
                         const std::vector<std::string>& labels,
                         const std::vector<std::vector<std::string>>& columns) {
  std::string out = "<details><summary>The numbers of this chart</summary><table><thead><tr><th>" +
                    escapeHtml(firstHeader) + "</th>";
  for (const auto& h : headers) out += "<th>" + escapeHtml(h) + "</th>";
  out += "</tr></thead><tbody>";
  for (std::size_t row = 0; row < labels.size(); ++row) {
    out += "<tr><td>" + escapeHtml(labels[row]) + "</td>";
    for (const auto& column : columns)
      out += "<td class=\"num\">" + (row < column.size() ? escapeHtml(column[row]) : "") + "</td>";
    out += "</tr>";
  }
  return out + "</tbody></table></details>";
}

}  // namespace

std::string lineChartHtml(const LineChart& chart, int decimals) {
  std::size_t points = chart.xLabels.size();
  double low = 0, high = 0;
  for (const auto& s : chart.series)
    for (double v : s.values)
      if (std::isfinite(v)) low = std::min(low, v), high = std::max(high, v);
  const Scale scale = scaleFor(low, high);
  const auto x = [&](std::size_t i) {
    return kLeft + (points > 1 ? kPlotW * static_cast<double>(i) / static_cast<double>(points - 1)
                               : kPlotW / 2);
  };

  std::string svg = svgOpen(chart.title) + axes(scale, chart.xAxis, chart.yAxis);
  const std::size_t labelEvery = std::max<std::size_t>(1, (points + 9) / 10);
  for (std::size_t i = 0; i < points; i += labelEvery)
    svg += text(x(i), kTop + kPlotH + 14, chart.xLabels[i], "middle", 10);
  for (std::size_t k = 0; k < chart.series.size(); ++k) {
    const ChartSeries& s = chart.series[k];
    std::string path;
    for (std::size_t i = 0; i < s.values.size() && i < points; ++i) {
      if (!std::isfinite(s.values[i])) continue;
      path += (path.empty() ? "M" : " L") + num(x(i)) + " " + num(scale.y(s.values[i]));
    }
    svg +=
        "<path d=\"" + path + "\" fill=\"none\" stroke=\"" + s.colour + "\" stroke-width=\"2\"/>";
    // Few points: each is marked, so a single run still shows.
    if (points <= 40)
      for (std::size_t i = 0; i < s.values.size() && i < points; ++i)
        if (std::isfinite(s.values[i]))
          svg += "<circle cx=\"" + num(x(i)) + "\" cy=\"" + num(scale.y(s.values[i])) +
                 "\" r=\"3.5\" fill=\"" + s.colour + "\"/>";
    // The legend sits above the plot, one entry per series.
    const double lx = kLeft + 8 + 260.0 * static_cast<double>(k);
    svg +=
        "<rect x=\"" + num(lx) + "\" y=\"8\" width=\"14\" height=\"4\" fill=\"" + s.colour + "\"/>";
    svg += text(lx + 18, 14, s.name, "start", 11);
  }
  if (!chart.series.empty())
    for (std::size_t i = 0; i < chart.pointNotes.size() && i < chart.series[0].values.size(); ++i)
      if (std::isfinite(chart.series[0].values[i]) && !chart.pointNotes[i].empty())
        svg += text(x(i), scale.y(chart.series[0].values[i]) - 8, chart.pointNotes[i], "middle", 9);
  svg += "</svg>";

  std::vector<std::string> headers;
  std::vector<std::vector<std::string>> columns;
  for (const auto& s : chart.series) {
    headers.push_back(s.name);
    std::vector<std::string> column;
    for (double v : s.values) column.push_back(figure(v, decimals));
    columns.push_back(std::move(column));
  }
  if (!chart.pointNotes.empty()) {
    headers.push_back("Note");
    columns.push_back(chart.pointNotes);
  }
  return "<figure class=\"chart\">" + svg + "<figcaption>" + escapeHtml(chart.title) +
         "</figcaption>" + numbersTable(chart.xAxis, headers, chart.xLabels, columns) + "</figure>";
}

std::string barChartHtml(const BarChart& chart) {
  const std::size_t n = std::min(chart.labels.size(), chart.values.size());
  double low = 0, high = chart.threshold.value_or(0);
  for (std::size_t i = 0; i < n; ++i)
    if (std::isfinite(chart.values[i]))
      low = std::min(low, chart.values[i]), high = std::max(high, chart.values[i]);
  const Scale scale = scaleFor(low, high);

  std::string svg = svgOpen(chart.title) + axes(scale, "", chart.valueAxis);
  const double slot = n ? kPlotW / static_cast<double>(n) : kPlotW;
  const double barW = std::max(1.0, std::min(60.0, slot * 0.7));
  const double zero = scale.y(0);
  for (std::size_t i = 0; i < n; ++i) {
    const double v = std::isfinite(chart.values[i]) ? chart.values[i] : 0;
    const double cx = kLeft + slot * (static_cast<double>(i) + 0.5);
    const double top = std::min(zero, scale.y(v));
    svg += "<rect x=\"" + num(cx - barW / 2) + "\" y=\"" + num(top) + "\" width=\"" + num(barW) +
           "\" height=\"" + num(std::fabs(scale.y(v) - zero)) + "\" fill=\"" + chart.colour +
           "\"/>";
    if (n <= 20) svg += text(cx, kTop + kPlotH + 14, chart.labels[i], "middle", 10);
  }
  if (chart.threshold) {
    const double y = scale.y(*chart.threshold);
    svg += "<line x1=\"" + num(kLeft) + "\" x2=\"" + num(kLeft + kPlotW) + "\" y1=\"" + num(y) +
           "\" y2=\"" + num(y) +
           "\" stroke=\"#c0392b\" stroke-width=\"2\" stroke-dasharray=\"6 4\"/>";
    svg += text(kLeft + kPlotW - 4, y - 5, chart.thresholdLabel, "end", 11, " fill=\"#c0392b\"");
  }
  svg += "</svg>";

  std::vector<std::string> column;
  for (std::size_t i = 0; i < n; ++i) column.push_back(figure(chart.values[i], chart.decimals));
  std::vector<std::string> headers = {chart.valueAxis};
  std::vector<std::vector<std::string>> columns = {column};
  std::vector<std::string> labels(chart.labels.begin(),
                                  chart.labels.begin() + static_cast<long>(n));
  if (chart.threshold) {
    headers.push_back(chart.thresholdLabel);
    columns.push_back(std::vector<std::string>(n, figure(*chart.threshold, chart.decimals)));
  }
  return "<figure class=\"chart\">" + svg + "<figcaption>" + escapeHtml(chart.title) +
         "</figcaption>" + numbersTable(chart.labelHeader, headers, labels, columns) + "</figure>";
}

}  // namespace pelk
