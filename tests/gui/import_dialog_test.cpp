// "Import scan…" as one dialog: slices offered with a preview, named outputs, and the import
// itself run as a window command.
#include "gui/import_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <cstring>
#include <fstream>

#include "tests/gui/gui_fixture.h"
#include "workbench/workbench.h"

namespace pelk {
namespace {

using gui_test::answerNextBox;
using gui_test::ScriptedDialogs;

// An uncompressed NIfTI-1 volume of bytes, 16 x 12 x `slices`, slice k filled with 40 k + 10.
void writeNifti(const std::string& path, int slices) {
  std::string bytes(352, '\0');
  auto put = [&bytes](std::size_t at, auto value) {
    std::memcpy(&bytes[at], &value, sizeof value);
  };
  put(0, std::int32_t{348});
  const std::int16_t dims[4] = {3, 16, 12, static_cast<std::int16_t>(slices)};
  for (int i = 0; i < 4; ++i) put(40 + 2 * i, dims[i]);
  put(70, std::int16_t{2});  // unsigned bytes
  put(72, std::int16_t{8});
  for (int i = 0; i < 4; ++i) put(76 + 4 * i, 1.0f);
  put(108, 352.0f);
  std::memcpy(&bytes[344], "n+1", 4);
  for (int k = 0; k < slices; ++k) bytes.append(16 * 12, static_cast<char>(40 * k + 10));
  std::ofstream(path, std::ios::binary) << bytes;
}

QImage previewOf(ImportDialog& dialog) {
  return dialog.findChild<QLabel*>("ImportPreview")->pixmap().toImage();
}

}  // namespace

class ImportDialogTest : public QObject {
  Q_OBJECT

  std::optional<gui_test::ScratchFolder> scratch_;

 private Q_SLOTS:
  void init() { scratch_.emplace(); }
  void cleanup() { scratch_.reset(); }

  void theOutputIsNamedAfterTheSourceAndSlice_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("slice");
    QTest::addColumn<QString>("output");
    QTest::newRow("nifti gz") << "/scans/Brain.T1.NII.GZ" << 90 << "/work/Brain.T1-s90.bmp";
    QTest::newRow("dicom") << "/scans/IM0001.dcm" << 0 << "/work/IM0001-s0.bmp";
    QTest::newRow("no extension") << "/scans/series/IM7" << 3 << "/work/IM7-s3.bmp";
  }
  void theOutputIsNamedAfterTheSourceAndSlice() {
    QFETCH(QString, source);
    QFETCH(int, slice);
    QFETCH(QString, output);
    QCOMPARE(importOutputName("/work", source, slice), output);
  }

  void slicesAreOfferedWithAPreviewAndWrongInputIsCorrectedInPlace() {
    writeNifti("head.nii", 5);
    ImportDialog dialog(QDir::currentPath());
    QVERIFY(dialog.openScan("head.nii"));
    auto* slice = dialog.findChild<QSpinBox*>("ImportSlice");
    QCOMPARE(slice->value(), 2);
    QVERIFY(dialog.findChild<QLabel*>("ImportSliceCount")->text().contains("5 slices"));
    const QImage middle = previewOf(dialog);
    QVERIFY(!middle.isNull());
    slice->setValue(200);  // beyond the last slice: the chooser stops at it
    QCOMPARE(slice->value(), 4);
    QVERIFY(previewOf(dialog) != middle);
    QCOMPARE(dialog.request().output, QDir::current().filePath("head-s4.bmp").toStdString());

    QVERIFY(!dialog.openScan("missing.nii"));
    QVERIFY(dialog.findChild<QLabel*>("ImportStatus")->text().contains("missing.nii"));
    QVERIFY(!dialog.volume());
  }

  void theImportFillsTheFieldShowsTheScanAndAsksBeforeReplacing_data() {
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<bool>("imported");
    QTest::newRow("new file") << false << false << true;
    QTest::newRow("replace") << true << true << true;
    QTest::newRow("keep") << true << false << false;
  }
  void theImportFillsTheFieldShowsTheScanAndAsksBeforeReplacing() {
    QFETCH(bool, existing);
    QFETCH(bool, replace);
    QFETCH(bool, imported);
    writeNifti("head.nii", 5);
    if (existing) std::ofstream("head-s2.bmp") << "earlier";
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    QSignalSpy finished(&window, &MainWindow::commandFinished);
    answerNextBox([&](QWidget* box) {
      auto* dialog = qobject_cast<ImportDialog*>(box);
      QVERIFY(dialog);
      QVERIFY(dialog->openScan("head.nii"));
      dialog->findChild<QComboBox*>("ImportField")->setCurrentIndex(1);
      if (existing) {
        answerNextBox([&](QWidget* question) {
          static_cast<QMessageBox*>(question)
              ->button(replace ? QMessageBox::Yes : QMessageBox::No)
              ->click();
        });
      }
      dialog->accept();
      if (dialog->isVisible()) dialog->reject();
    });
    window.importScan();
    if (imported) {
      QVERIFY(finished.count() > 0 || finished.wait(10000));
    } else {
      QCOMPARE(finished.count(), 0);  // a kept file means no import ran
    }
    const std::string output = QDir::current().filePath("head-s2.bmp").toStdString();
    QCOMPARE(
        static_cast<QLineEdit*>(window.control("Edit2"))->text() == QString::fromStdString(output),
        imported);
    QCOMPARE(std::filesystem::file_size("head-s2.bmp") > 512 * 512, imported);
    if (imported) {
      QVERIFY(static_cast<QPlainTextEdit*>(window.control("Memo1"))
                  ->toPlainText()
                  .contains("Imported: NIfTI-1"));
      QCOMPARE(static_cast<QLabel*>(window.control("ViewCaption"))->toolTip(),
               QString::fromStdString("Imported scan " + output));
    }
  }
};

}  // namespace pelk

static pelk::gui_test::RegisterTests<pelk::ImportDialogTest> registered;
#include "import_dialog_test.moc"
