#include "gui/qt_printer.h"

#include <QFontMetrics>
#include <QImage>
#include <QPrinterInfo>

#include "common/io_error.h"

namespace pelk {

QFont QtPrinter::reportFont() {
  // The results line up in fixed-width columns, on paper as in the results area.
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPointSize(9);
  return font;
}

void QtPrinter::beginJob(const std::string& title) {
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  pdfPath_.clear();
  if (!forcedPdf_.isEmpty()) {
    pdfPath_ = forcedPdf_;
  } else if (QPrinterInfo::availablePrinters().isEmpty()) {
    pdfPath_ = QStringLiteral("testPrint1.pdf");
  }
  if (!pdfPath_.isEmpty()) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(pdfPath_);
  }
  printer_->setDocName(QString::fromStdString(title));
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(printer_.get())) {
    painter_.reset();
    throw IoError(pdfPath_.isEmpty() ? "Cannot start the print job"
                                     : "Cannot create file: " + pdfPath_.toStdString());
  }
  painter_->setFont(reportFont());
}

void QtPrinter::newPage() {
  if (painter_) printer_->newPage();
}

void QtPrinter::textOut(int x, int y, const std::string& text) {
  if (!painter_) return;
  // The workbench places text by its top-left corner; Qt draws from the baseline.
  QFontMetrics metrics(painter_->font(), printer_.get());
  painter_->drawText(x, y + metrics.ascent(), QString::fromLocal8Bit(text.c_str()));
}

int QtPrinter::textHeight(const std::string&) {
  if (!painter_) return 0;
  return QFontMetrics(painter_->font(), printer_.get()).height();
}

void QtPrinter::drawBitmapFile(const std::string& path, int left, int top, int right, int bottom) {
  QImage image(QString::fromLocal8Bit(path.c_str()));
  if (image.isNull()) throw IoError("Cannot load bitmap: " + path);
  if (painter_) painter_->drawImage(QRect(left, top, right - left, bottom - top), image);
}

void QtPrinter::endJob() {
  if (!painter_) return;
  painter_->end();
  painter_.reset();
  printer_.reset();
  if (!pdfPath_.isEmpty() && forcedPdf_.isEmpty())
    dialogs_.showMessage("No printer is installed: the report was written to " +
                         pdfPath_.toStdString());
}

}  // namespace pelk
