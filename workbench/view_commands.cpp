#include "common/io_error.h"
#include "workbench/print_report.h"
#include "workbench/read_img_file.h"
#include "workbench/workbench.h"

// The commands that choose, show and take out images, and the test information and result
// file dialogs.

namespace pelk {

void Workbench::plot() {
  std::string name = RadioGroup1 == 0 ? Edit1 : RadioGroup1 == 1 ? Edit2 : "*";
  if (name != "*") {
    append("Loading Fiename:" + name);
    showScan(name, ViewContent::Scan,
             (RadioGroup1 == 0 ? "Standard scan " : "Reference scan ") + name);
  } else {
    append("No Filename selected");
  }
  appendReady();
}

void Workbench::loadInto(std::string& field) {
  auto chosen = dialogs_.openFile("PELK40 Files(*.bmp)|*.bmp");
  if (chosen) {
    field = *chosen;
  } else {
    // Whatever is typed here is ignored: the field keeps its text.
    dialogs_.inputBox("Please Select a File", "", "");
  }
}

void Workbench::saveImage() {
  std::string name = dialogs_.inputBox("Enter File Name", "result001", "");
  if (interactive_ && name.empty()) {
    // A cancelled box would otherwise save the view as the hidden file ".bmp".
    dialogs_.showMessage("No file name given");
    return;
  }
  Image1.saveBmp(name + ".bmp");
}

void Workbench::enterTestInfo() {
  TestInfo.patient = dialogs_.inputBox("Enter Patients Name", "", "");
  TestInfo.hospital = dialogs_.inputBox("Enter Hospital Id", "", "");
  TestInfo.test = dialogs_.inputBox("Enter Treatment Id", "", "");
  TestInfo.date = dialogs_.inputBox("Enter Treatment Date", "", "");
}

void Workbench::saveResultFile() {
  std::string name = dialogs_.inputBox("Enter File Name for Result", "i.e. Result.txt", "");
  if (name.empty()) {
    // A cancelled or empty box would otherwise try to create a file with no name.
    dialogs_.showMessage("No file name given");
    return;
  }
  Memo1.saveTo(name);
  savedText_ = Memo1.text();
}

void Workbench::print() {
  if (!printer_) throw IoError("No printer available");
  printReport(
      *printer_, [this](const std::string& path) { Image1.saveBmp(path); }, Memo1.lines());
}

}  // namespace pelk
