#pragma once
#include <functional>
#include <string>
#include <vector>

#include "workbench/printer.h"

namespace pelk {

inline constexpr const char* kPrintBitmapFile = "testPrint1.bmp";
inline constexpr int kPrintLinesPerPage = 55;

// The "Print" layout: a heading page with the view (saved to "testPrint1.bmp" by saveView and
// drawn from that file), then the lines 55 to a page at (100, 100 + j x text height).
// A failure part-way still ends the job, so the printer is free for the next one.
void printReport(Printer& printer, const std::function<void(const std::string&)>& saveView,
                 const std::vector<std::string>& lines);

}  // namespace pelk
