// Faults found by using the window as a person does, each kept fixed here.
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "gui/main_window.h"
#include "gui/qt_dialogs.h"
#include "gui/qt_printer.h"
#include "tests/gui/gui_fixture.h"
#include "tests/support/files.h"
#include "workbench/workbench.h"

namespace pelk {
namespace {

using gui_test::answerNextBox;
using gui_test::clickAndWait;
using gui_test::ScriptedDialogs;

QPlainTextEdit* memoOf(MainWindow& window) {
  return static_cast<QPlainTextEdit*>(window.control("Memo1"));
}
QLineEdit* field(MainWindow& window, const char* name) {
  return static_cast<QLineEdit*>(window.control(name));
}

void showActive(MainWindow& window) {
  window.show();
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
}

}  // namespace

class WindowDefectsTest : public QObject {
  Q_OBJECT

  std::optional<gui_test::ScratchFolder> scratch_;

 private Q_SLOTS:
  void init() { scratch_.emplace(); }
  void cleanup() { scratch_.reset(); }

  void undoTakesBackTheUsersEditsButNeverACommandsLines() {
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    showActive(window);
    QVERIFY(clickAndWait(window, "Button2"));  // no scan selected: three lines of its own
    const QString afterPlot = memoOf(window)->toPlainText();
    QVERIFY(afterPlot.contains("No Filename selected"));
    memoOf(window)->setFocus();
    memoOf(window)->moveCursor(QTextCursor::End);
    QTest::keyClicks(memoOf(window), "note");
    for (int i = 0; i < 30; ++i) QTest::keyClick(memoOf(window), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(memoOf(window)->toPlainText(), afterPlot);
    dialogs.inputs = {std::string("kept.txt")};
    QVERIFY(clickAndWait(window, "Button12"));
    QVERIFY(test::readFile("kept.txt").find("No Filename selected") != std::string::npos);
  }

  void tabMovesFocusOutOfTheResultsArea() {
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    showActive(window);
    memoOf(window)->setFocus();
    QVERIFY(memoOf(window)->hasFocus());
    const QString before = memoOf(window)->toPlainText();
    QTest::keyClick(memoOf(window), Qt::Key_Tab);
    QCOMPARE(memoOf(window)->toPlainText(), before);
    QVERIFY(!memoOf(window)->hasFocus());
  }

  void anEmptyFieldIsNamedInTheErrorBox_data() {
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("note");
    QTest::newRow("standard") << ""
                              << "ref.bmp"
                              << "The standard image field is empty.";
    QTest::newRow("reference") << "std.bmp"
                               << ""
                               << "The reference image field is empty.";
  }
  void anEmptyFieldIsNamedInTheErrorBox() {
    QFETCH(QString, standard);
    QFETCH(QString, reference);
    QFETCH(QString, note);
    test::writeBmp("std.bmp", 512, 512, [](int, int) { return 90; });
    test::writeBmp("ref.bmp", 512, 512, [](int, int) { return 90; });
    std::filesystem::copy_file("std.bmp", "test101.bmp");  // start-up shows no box then
    QtDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    window.useDialogs(dialogs);
    field(window, "Edit1")->setText(standard);
    field(window, "Edit2")->setText(reference);
    QString shown;
    answerNextBox([&](QWidget* box) {
      shown = static_cast<QMessageBox*>(box)->text();
      box->close();
    });
    QVERIFY(clickAndWait(window, "Button3"));
    QVERIFY2(shown.startsWith("File not found: \n"), qPrintable(shown));
    QVERIFY2(shown.contains(note), qPrintable(shown));
  }

  void theWindowKeepsItsSizeAndTheLayoutBelowTheMenu() {
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize fixed = window.size();
    for (QSize asked : {QSize(1400, 1000), QSize(300, 200)}) {
      window.resize(asked);
      QCoreApplication::processEvents();
      QCOMPARE(window.size(), fixed);
    }
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.centralWidget()->size(), QSize(825, 597));
    QCOMPARE(window.statusBar()->geometry().top(), window.centralWidget()->geometry().bottom() + 1);
    QCOMPARE(fixed.height(), window.menuBar()->height() + 597 + window.statusBar()->height());
  }

  void cancellingSaveImageWritesNothing() {
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    dialogs.inputs = {std::nullopt};
    QVERIFY(clickAndWait(window, "Button10"));
    QVERIFY(!std::filesystem::exists(".bmp"));
    QCOMPARE(dialogs.messages, std::vector<std::string>{"No file name given"});
  }

  void thePrintoutUsesTheFixedPitchFontOfTheResultsArea() {
    ScriptedDialogs dialogs;
    QtPrinter printer(dialogs);
    printer.setPdfOutput("report.pdf");
    Workbench workbench(dialogs, &printer);
    workbench.Memo1.append("Idx   X     Y     Value");
    MainWindow window(workbench);
    dialogs.errors.clear();  // start-up found no scan to show
    QVERIFY(clickAndWait(window, "Button14"));
    QCOMPARE(dialogs.errors.size(), std::size_t{0});
    const std::string pdf = test::readFile("report.pdf");
    const std::size_t font = pdf.find("/BaseFont");
    QVERIFY(font != std::string::npos);
    QVERIFY2(pdf.find("Mono", font) < pdf.find('\n', font), pdf.substr(font, 60).c_str());
  }

  void inputBoxesAskTheirQuestionInsideTheBox_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("no prompt") << "Enter Patients Name"
                               << "";
    QTest::newRow("with prompt") << "Enter File Name"
                                 << "result001";
  }
  void inputBoxesAskTheirQuestionInsideTheBox() {
    QFETCH(QString, caption);
    QFETCH(QString, prompt);
    QtDialogs dialogs;
    QString label;
    answerNextBox([&](QWidget* box) {
      label = static_cast<QInputDialog*>(box)->labelText();
      static_cast<QInputDialog*>(box)->reject();
    });
    QCOMPARE(dialogs.inputBox(caption.toStdString(), prompt.toStdString(), "kept"),
             std::string("kept"));
    QVERIFY2(label.contains(caption) && label.contains(prompt), qPrintable(label));
  }

  void theProgressionOverlayCarriesALegend() {
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    workbench.ViewShows = ViewContent::ProgressionOverlay;
    MainWindow window(workbench);
    const QImage view = static_cast<QLabel*>(window.control("Image1"))->pixmap().toImage();
    int red = 0, blue = 0, yellow = 0;
    for (int y = 0; y < view.height(); ++y)
      for (int x = 0; x < view.width(); ++x) {
        const QColor c = view.pixelColor(x, y);
        red += c == QColor(255, 0, 0);
        blue += c == QColor(0, 128, 255);
        yellow += c == QColor(255, 255, 0);
      }
    QVERIFY(red > 20 && blue > 20 && yellow > 20);
  }
};

}  // namespace pelk

static pelk::gui_test::RegisterTests<pelk::WindowDefectsTest> registered;
#include "window_defects_test.moc"
