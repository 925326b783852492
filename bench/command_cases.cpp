#include <map>
#include <memory>
#include <optional>

#include "bench/bench_case.h"
#include "bench/picture_lines.h"
#include "common/io_error.h"
#include "report/picture_report.h"
#include "workbench/dialogs.h"
#include "workbench/workbench.h"

namespace pelk::bench {
namespace {

// Dialogs that answer nothing: no file chosen, every input box cancelled. What a command shows
// is kept, since an error means the command did not run to its end.
class QuietDialogs : public Dialogs {
 public:
  std::optional<std::string> openFile(const std::string&) override { return std::nullopt; }
  std::string inputBox(const std::string&, const std::string&,
                       const std::string& initialText) override {
    return initialText;
  }
  void showError(const std::string& message) override { shown.push_back("error: " + message); }
  void showMessage(const std::string& message) override { shown.push_back("message: " + message); }
  Lines shown;
};

// The window as a user leaves it before a command: a fresh workbench (its start-up is not
// timed) with the three scans named in its fields.
struct Window {
  QuietDialogs dialogs;
  std::unique_ptr<Workbench> workbench;
};
Window window;

// The padded copies of each size's scans, written when a case that reads them is prepared.
ScanSet& paddedScans(int size) {
  static std::map<int, ScanSet> sets;
  return sets[size];
}

void nameScans(const ScanSet& scans) {
  window.workbench->Edit1 = scans.standard;
  window.workbench->Edit2 = scans.reference;
  window.workbench->Edit3 = scans.third;
}

void openWindow(const ScanSet& scans) {
  window.dialogs.shown.clear();
  window.workbench = std::make_unique<Workbench>(window.dialogs);
  window.dialogs.shown.clear();  // start-up finds no "test101.bmp" here, as on a fresh folder
  nameScans(scans);
}

// `padded` runs the command on the scans with their rows padded as real bitmaps store them.
void addCommand(const std::string& name, void (Workbench::*click)(), bool padded = false) {
  auto open = [padded](const ScanSet& scans) {
    openWindow(padded ? paddedScans(scans.size) : scans);
  };
  addCase({name,
           [padded](const ScanSet& scans) {
             if (padded) paddedScans(scans.size) = writePaddedScanSet(scans.size);
           },
           [click](const ScanSet&, Lines* lines) {
             Workbench& w = *window.workbench;
             (w.*click)();
             // A command that stopped with an error was not timed to its end.
             if (!window.dialogs.shown.empty()) throw IoError(window.dialogs.shown.front());
             if (!lines) return;
             *lines = w.Memo1.lines();
             Lines pixels = pictureLines(w.Image1);
             lines->insert(lines->end(), pixels.begin(), pixels.end());
           },
           open});
}

// The picture report of a "7." + "9." + robust run, from the files those commands left (their run
// is not timed). Fixed time and folder texts keep its output the same on every run.
void addReportCase() {
  addCase({"picture report (7. + 9. + robust)",
           [](const ScanSet& scans) {
             openWindow(scans);
             window.workbench->SyClick();
             window.workbench->Button16Click();
             nameScans(paddedScans(scans.size) = writePaddedScanSet(scans.size));
             window.workbench->RobustTpaClick();
           },
           [](const ScanSet& scans, Lines*) {
             ReportRequest request;
             request.folder = ".";
             request.madeAt = "(benchmark)";
             request.standardScan = scans.standard;
             request.referenceScan = scans.reference;
             request.thirdScan = scans.third;
             writePictureReport(request, "report.html");
           }});
}

}  // namespace

void addCommandCases() {
  addCommand("3. Rel. Rank Analysis-1", &Workbench::Button3Click);
  addCommand("Opt2. Rel. Rank Analysis-2", &Workbench::Button4Click);
  addCommand("4. Multi Corr. Highlight Sys.", &Workbench::Button5Click);
  addCommand("Opt 1. Zonal Corr. Highlight Sys.", &Workbench::Button6Click);
  addCommand("5. Cluster", &Workbench::Button8Click);
  addCommand("6. Diiferential Image", &Workbench::Button7Click);
  addCommand("10. Tumor Prog. Analysis-1", &Workbench::Button13Click);
  addCommand("7. Synopsis Cocktail 1", &Workbench::SyClick);
  addCommand("9. Synopsus Cocktail 2", &Workbench::Button16Click);
  addCommand("robust-tpa", &Workbench::RobustTpaClick, true);
  addReportCase();
}

}  // namespace pelk::bench
