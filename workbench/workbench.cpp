#include "workbench/workbench.h"

#include <exception>

#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/io_error.h"
#include "workbench/read_img_file.h"

namespace pelk {

Workbench::Workbench(Dialogs& dialogs, Printer* printer) : dialogs_(dialogs), printer_(printer) {
  Button9Visible = false;
  Button15Visible = false;
  Memo1.setBeforeEachLine([this] { control_.throwIfCancelled(); });
  // Usually missing in a fresh folder: said as the read would say it, without its exception.
  const std::string startScan = kStartImage;
  if (std::optional<std::string> missing = fileNotFound(startScan)) {
    ViewShows = ViewContent::Scan;
    ViewCaption = "Scan " + startScan;
    dialogs_.showError(*missing);
    return;
  }
  runCommand([this, &startScan] { showScan(startScan, ViewContent::Scan, "Scan " + startScan); });
}

void Workbench::showScan(const std::string& path, ViewContent content, std::string caption) {
  // Set first: a scan that ends early is still drawn as far as it goes.
  ViewShows = content;
  ViewCaption = std::move(caption);
  readImgFile(path, Image1);
}

bool Workbench::resultsSaved() const {
  return Memo1.lines() == ResultsArea().lines() || Memo1.text() == savedText_;
}

void Workbench::NewSession() {
  control_.reset();
  Memo1.setLines(ResultsArea().lines());
  Image1 = Picture();
  ViewShows = ViewContent::Blank;
  ViewCaption.clear();
}

void Workbench::runCommand(const std::function<void()>& steps) {
  try {
    steps();
  } catch (const CommandCancelled& e) {
    // Asked for, so no error box: the results area says where the command stopped.
    Memo1.appendClosingLine(e.what());
  } catch (const IoError& e) {
    dialogs_.showError(e.what());
  } catch (const std::exception& e) {
    // Anything else a module lets through ends the command the same way rather than the
    // program: the user's results area must survive.
    dialogs_.showError(e.what());
  }
}

void Workbench::appendReady() {
  append(" ");
  append("Ready");
  append(" ");
}

void Workbench::Button2Click() {
  runCommand([this] { plot(); });
}
void Workbench::Button3Click() {
  runCommand([this] { rankAnalysis1(); });
}
void Workbench::Button4Click() {
  runCommand([this] { rankAnalysis2(); });
}
void Workbench::Button5Click() {
  runCommand([this] { multiCorrelationHighlight(); });
}
void Workbench::Button6Click() {
  runCommand([this] { zonalCorrelationHighlight(); });
}
void Workbench::Button7Click() {
  runCommand([this] { differentialImage(); });
}
void Workbench::Button8Click() {
  runCommand([this] { cluster(); });
}
void Workbench::Button9Click() {}
void Workbench::Button10Click() {
  runCommand([this] { saveImage(); });
}
void Workbench::Button11Click() {
  runCommand([this] { enterTestInfo(); });
}
void Workbench::Button12Click() {
  runCommand([this] { saveResultFile(); });
}
void Workbench::Button13Click() {
  runCommand([this] { tumorProgression(); });
}
void Workbench::Button14Click() {
  runCommand([this] { print(); });
}
void Workbench::Button15Click() {
  runCommand([this] { falseColor(); });
}
void Workbench::Button16Click() {
  runCommand([this] { synopsis2(); });
}
void Workbench::Button17Click() {
  runCommand([this] { loadInto(Edit1); });
}
void Workbench::Button18Click() {
  runCommand([this] { loadInto(Edit2); });
}
void Workbench::Button19Click() {
  runCommand([this] { loadInto(Edit3); });
}
void Workbench::SyClick() {
  runCommand([this] { synopsis1(); });
}

}  // namespace pelk
