#pragma once
#include <optional>
#include <string>
#include <vector>

namespace pelk {

// Charts as inline SVG, each followed by its numbers in a table under a disclosure element, so
// the report is usable without seeing the picture.

struct ChartSeries {
  std::string name;
  std::string colour;  // CSS colour
  std::vector<double> values;
};

struct LineChart {
  std::string title;  // also the picture's accessible name
  std::string xAxis, yAxis;
  std::vector<std::string> xLabels;  // one per point; only some are drawn under the axis
  std::vector<ChartSeries> series;
  // Notes drawn beside individual points of the first series (a verdict, say); may be empty.
  std::vector<std::string> pointNotes;
};

struct BarChart {
  std::string title;
  std::string labelHeader;  // what the labels name, for the numbers table
  std::string valueAxis;
  std::vector<std::string> labels;
  std::vector<double> values;
  std::string colour = "#3b6ea5";
  // A line across the bars at this value (a significance threshold), with its label.
  std::optional<double> threshold;
  std::string thresholdLabel;
  int decimals = 3;
};

std::string lineChartHtml(const LineChart& chart, int decimals);
std::string barChartHtml(const BarChart& chart);

}  // namespace pelk
