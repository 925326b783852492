#pragma once
#include <QPainter>
#include <QPrinter>
#include <memory>

#include "workbench/dialogs.h"
#include "workbench/printer.h"

namespace pelk {

// The default printer, without a print dialog. On a machine with no printer installed the
// same pages go to "testPrint1.pdf" in the working directory, and the user is told so.
class QtPrinter : public Printer {
 public:
  explicit QtPrinter(Dialogs& dialogs) : dialogs_(dialogs) {}

  void beginJob(const std::string& title) override;
  void newPage() override;
  void textOut(int x, int y, const std::string& text) override;
  int textHeight(const std::string& text) override;
  void drawBitmapFile(const std::string& path, int left, int top, int right, int bottom) override;
  void endJob() override;

  // The fixed-pitch font every line is printed in.
  static QFont reportFont();

  // Forces the PDF route whatever printers exist (tests, and machines with broken queues).
  void setPdfOutput(const QString& path) { forcedPdf_ = path; }

 private:
  Dialogs& dialogs_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPainter> painter_;
  QString pdfPath_;
  QString forcedPdf_;
};

}  // namespace pelk
