#include "workbench/print_report.h"

namespace pelk {

void printReport(Printer& printer, const std::function<void(const std::string&)>& saveView,
                 const std::vector<std::string>& lines) {
  printer.beginJob("PELK 40 Report");
  try {
    printer.textOut(1000, 200, "Tolvar PELK 40 Results - Page 1 ");
    saveView(kPrintBitmapFile);
    printer.drawBitmapFile(kPrintBitmapFile, 1000, 1000, 10000, 10000);
    printer.newPage();
    int j = 0;
    for (const auto& line : lines) {
      if (j == kPrintLinesPerPage) {
        printer.newPage();
        j = 0;
      }
      printer.textOut(100, 100 + j * printer.textHeight(line), line);
      ++j;
    }
  } catch (...) {
    printer.endJob();
    throw;
  }
  printer.endJob();
}

}  // namespace pelk
