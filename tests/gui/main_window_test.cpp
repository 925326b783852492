#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <deque>
#include <filesystem>

#include "gui/main_window.h"
#include "gui/qt_printer.h"
#include "tests/gui/gui_fixture.h"
#include "tests/support/files.h"
#include "workbench/workbench.h"

namespace pelk {
namespace {

using gui_test::clickAndWait;
using gui_test::ScriptedDialogs;

int head(const std::string& bytes, int at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

void writeScan(const std::string& path, int level) {
  test::writeBmp(path, 512, 512, [level](int r, int c) { return r < 256 && c < 256 ? 10 : level; });
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

  std::optional<gui_test::ScratchFolder> scratch_;

 private Q_SLOTS:
  void init() { scratch_.emplace(); }
  void cleanup() { scratch_.reset(); }

  void startUpShowsTheInitialStateAndTheScan() {
    writeScan("test101.bmp", 200);
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    QCOMPARE(dialogs.errors.size(), std::size_t{0});
    QCOMPARE(static_cast<QLineEdit*>(window.control("Edit1"))->text(), QString("Edit1"));
    QCOMPARE(static_cast<QLineEdit*>(window.control("Edit3"))->text(), QString("Edit3"));
    QCOMPARE(static_cast<QPlainTextEdit*>(window.control("Memo1"))->toPlainText(),
             QString("Results Area\n"));
    QVERIFY(window.control("Button9")->isHidden());
    QVERIFY(window.control("Button15")->isHidden());
    QVERIFY(!window.control("Sy")->isHidden());
    QVERIFY(!static_cast<QRadioButton*>(window.control("RadioStd"))->isChecked());
    QVERIFY(!static_cast<QRadioButton*>(window.control("RadioRef"))->isChecked());
    QImage view = static_cast<QLabel*>(window.control("Image1"))->pixmap().toImage();
    QCOMPARE(view.size(), QSize(385, 329));
    QCOMPARE(view.pixelColor(50, 50), QColor(0, 200, 0));    // green of level 200
    QCOMPARE(view.pixelColor(100, 300), QColor(Qt::white));  // 20 and less are white
  }

  void startUpWithoutTheScanShowsTheErrorAndABlankView() {
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    QCOMPARE(dialogs.errors.size(), std::size_t{1});
    QImage view = static_cast<QLabel*>(window.control("Image1"))->pixmap().toImage();
    QCOMPARE(view.pixelColor(200, 200), QColor(Qt::white));
  }

  void controlsStandWhereTheLayoutPutsThem() {
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    QCOMPARE(window.centralWidget()->size(), QSize(825, 597));
    QCOMPARE(window.control("Image1")->geometry(), QRect(8, 8, 385, 329));
    QCOMPARE(window.control("Memo1")->geometry(), QRect(8, 344, 497, 185));
    QCOMPARE(window.control("RadioGroup1")->geometry(), QRect(408, 40, 57, 73));
    QCOMPARE(window.control("Edit2")->geometry(), QRect(472, 80, 249, 21));
    QCOMPARE(window.control("Button19")->geometry(), QRect(728, 112, 83, 25));
    QCOMPARE(window.control("Button6")->geometry(), QRect(648, 152, 161, 25));
    QCOMPARE(window.control("Button12")->geometry(), QRect(528, 528, 153, 25));
    QCOMPARE(static_cast<QPushButton*>(window.control("Button7"))->text(),
             QString("6. Diiferential Image"));
    QCOMPARE(static_cast<QLabel*>(window.control("Label1"))->text(), QString("Output File"));
    QCOMPARE(window.centralWidget()->palette().color(QPalette::Window), QColor(0xA6, 0xCA, 0xF0));
    // The menu sits above the fixed layout, which keeps its size and places.
    QVERIFY(window.menuBar()->isVisibleTo(&window));
    QStringList menus;
    for (QAction* menu : window.menuBar()->actions()) menus << menu->text();
    QCOMPARE(menus, QStringList({"&Scans", "&Analysis", "&Results", "&Help"}));
  }

  void rankAnalysisFillsTheResultsArea() {
    writeScan("std.bmp", 200);
    writeScan("ref.bmp", 120);
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    static_cast<QLineEdit*>(window.control("Edit1"))->setText("std.bmp");
    static_cast<QLineEdit*>(window.control("Edit2"))->setText("ref.bmp");
    QVERIFY(clickAndWait(window, "Button3"));
    QString text = static_cast<QPlainTextEdit*>(window.control("Memo1"))->toPlainText();
    QVERIFY(
        text.startsWith("Results Area\n\nProcessing: Setting Up Param1 Files\nProcessing: Making "
                        "Param1 Files\nMemo1\n"));
    QVERIFY(text.contains("RRA Result is TRUE"));
    QVERIFY(text.endsWith("\n \nReady\n "));
    QVERIFY(std::filesystem::exists("rra1.sql"));
  }

  void aUserEditOfTheResultsAreaIsWhatGetsSaved() {
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    auto* memo = static_cast<QPlainTextEdit*>(window.control("Memo1"));
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, "my note");
    dialogs.inputs = {std::string("saved.txt")};
    QVERIFY(clickAndWait(window, "Button12"));
    QCOMPARE(QString::fromStdString(test::readFile("saved.txt")),
             QString("Results Area\r\nmy note\r\n\r\n"));
  }

  void loadStdTakesTheChosenPathAndACancelAsksAgain() {
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    dialogs.files = {std::string("/scans/patient 7/std.bmp"), std::nullopt};
    QVERIFY(clickAndWait(window, "Button17"));
    QCOMPARE(static_cast<QLineEdit*>(window.control("Edit1"))->text(),
             QString("/scans/patient 7/std.bmp"));
    QVERIFY(clickAndWait(window, "Button18"));
    QCOMPARE(static_cast<QLineEdit*>(window.control("Edit2"))->text(), QString("Edit2"));
    QCOMPARE(dialogs.captions.back(), std::string("Please Select a File"));
    QCOMPARE(QtDialogs_qtFilter(), QString("PELK40 Files(*.bmp)"));
  }

  void saveImageWritesTheViewAsA385By329Bitmap() {
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    dialogs.inputs = {std::string("shot")};
    QVERIFY(clickAndWait(window, "Button10"));
    std::string bytes = test::readFile("shot.bmp");
    QVERIFY(bytes.size() > 54);
    QCOMPARE(head(bytes, 18), 385);
    QCOMPARE(head(bytes, 22), 329);
    QCOMPARE(head(bytes, 28), 24);
  }

  void printWritesTheHeadingPageAndTheResultPages() {
    writeScan("test101.bmp", 200);
    ScriptedDialogs dialogs;
    QtPrinter printer(dialogs);
    printer.setPdfOutput("report.pdf");
    Workbench workbench(dialogs, &printer);
    for (int i = 0; i < 118; ++i) workbench.Memo1.append("line " + std::to_string(i));
    MainWindow window(workbench);
    QVERIFY(clickAndWait(window, "Button14"));
    QCOMPARE(dialogs.errors.size(), std::size_t{0});
    QVERIFY(std::filesystem::exists("testPrint1.bmp"));
    std::string pdf = test::readFile("report.pdf");
    // 120 lines: a heading page, then 55, 55 and 10 lines.
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos;
         at = pdf.find("/Type /Page", at + 1))
      if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
    QCOMPARE(pages, 4);
  }

 private:
  static QString QtDialogs_qtFilter();
};

}  // namespace pelk

#include "gui/qt_dialogs.h"
QString pelk::MainWindowTest::QtDialogs_qtFilter() {
  return QtDialogs::qtFilter("PELK40 Files(*.bmp)|*.bmp");
}

static pelk::gui_test::RegisterTests<pelk::MainWindowTest> registered;
#include "main_window_test.moc"
