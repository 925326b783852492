// What a person at the window relies on beyond the commands themselves: long commands that can
// be cancelled, the status bar, the view's caption, keys, dropped files and new sessions.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QUrl>

#include "gui/command_help.h"
#include "tests/gui/gui_fixture.h"
#include "tests/support/files.h"
#include "workbench/workbench.h"

namespace pelk {
namespace {

using gui_test::answerNextBox;
using gui_test::clickAndWait;
using gui_test::ScriptedDialogs;

QString memoText(MainWindow& window) {
  return static_cast<QPlainTextEdit*>(window.control("Memo1"))->toPlainText();
}

// Sends a drag and drop of `data` onto `target`; true when the drop was taken.
bool drop(QWidget* target, QMimeData* data) {
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &dropped);
  return dropped.isAccepted();
}

}  // namespace

class WindowFeaturesTest : public QObject {
  Q_OBJECT

  std::optional<gui_test::ScratchFolder> scratch_;

 private Q_SLOTS:
  void init() { scratch_.emplace(); }
  void cleanup() { scratch_.reset(); }

  void aLongCommandShowsProgressAndStopsAtCancel() {
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    QAction* slow = window.addMenuCommand("&Scans", "Slow", [&workbench] {
      workbench.runCommand([&workbench] {
        for (int i = 0;; i = (i + 1) % 100) {
          workbench.control().setProgress(i, 100);
          workbench.control().throwIfCancelled();
          QThread::msleep(2);
        }
      });
    });
    const QString before = memoText(window);
    QSignalSpy finished(&window, &MainWindow::commandFinished);
    slow->trigger();
    auto* progress = static_cast<QProgressBar*>(window.control("CommandProgress"));
    QTRY_COMPARE(progress->maximum(), 100);
    QVERIFY(progress->isVisibleTo(&window));
    QVERIFY(!window.control("Button3")->isEnabled());
    QVERIFY(!slow->isEnabled());
    QVERIFY(!window.runCommand([] {}));  // one command at a time
    QTest::mouseClick(static_cast<QPushButton*>(window.control("CancelCommand")), Qt::LeftButton);
    QVERIFY(finished.wait(10000));
    QCOMPARE(memoText(window), before + "\nCancelled by the user");
    QVERIFY(dialogs.errors.size() == 1);  // start-up's missing scan only: no box for Cancel
    QVERIFY(!progress->isVisibleTo(&window));
    QVERIFY(window.control("Button3")->isEnabled() && slow->isEnabled());
  }

  void theStatusBarNamesTheFolderAndTheStore() {
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    auto* folder = static_cast<QLabel*>(window.control("WorkingFolder"));
    QCOMPARE(folder->toolTip(), QDir::toNativeSeparators(QDir::currentPath()));
    auto* store = static_cast<QLabel*>(window.control("StoreInUse"));
    QCOMPARE(store->text(), QString("Store: none"));
    window.setStoreInUse("results.sqlite");
    QCOMPARE(store->text(), QString("Store: results.sqlite"));
  }

  void theCaptionSaysWhatTheViewShows_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("radio");
    QTest::addColumn<QString>("caption");
    QTest::newRow("plot std") << "Button2" << 0 << "Standard scan std.bmp";
    QTest::newRow("plot ref") << "Button2" << 1 << "Reference scan ref.bmp";
    QTest::newRow("difference") << "Button7" << -1
                                << "Difference image diffbmp.bmp of ref.bmp against std.bmp";
    QTest::newRow("highlights") << "Button5" << -1 << "MCHS highlights of std.bmp against ref.bmp";
  }
  void theCaptionSaysWhatTheViewShows() {
    QFETCH(QString, button);
    QFETCH(int, radio);
    QFETCH(QString, caption);
    test::writeBmp("test101.bmp", 512, 512, [](int, int) { return 90; });
    test::writeBmp("std.bmp", 512, 512, [](int r, int c) { return (r * 7 + c) % 200; });
    test::writeBmp("ref.bmp", 512, 512, [](int r, int c) { return (r + c * 3) % 180; });
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    auto* label = static_cast<QLabel*>(window.control("ViewCaption"));
    QCOMPARE(label->toolTip(), QString("Scan test101.bmp"));
    static_cast<QLineEdit*>(window.control("Edit1"))->setText("std.bmp");
    static_cast<QLineEdit*>(window.control("Edit2"))->setText("ref.bmp");
    if (radio >= 0)
      static_cast<QRadioButton*>(window.control(radio == 0 ? "RadioStd" : "RadioRef"))
          ->setChecked(true);
    QVERIFY(clickAndWait(window, qPrintable(button)));
    QCOMPARE(dialogs.errors.size(), std::size_t{0});
    QCOMPARE(label->toolTip(), caption);
  }

  void ctrlSSavesTheResults() {
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    dialogs.inputs = {std::string("keys.txt")};
    QSignalSpy finished(&window, &MainWindow::commandFinished);
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(finished.wait(10000));
    QVERIFY(std::filesystem::exists("keys.txt"));
  }

  void aDroppedScanFileFillsTheField_data() {
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("text");
    const QUrl scan = QUrl::fromLocalFile("/scans/patient 7/std.bmp");
    QTest::newRow("one file") << QList<QUrl>{scan} << false << "/scans/patient 7/std.bmp";
    QTest::newRow("two files") << QList<QUrl>{scan, scan} << false << "Edit1";
    QTest::newRow("web address") << QList<QUrl>{QUrl("https://example.org/a.bmp")} << false
                                 << "Edit1";
    QTest::newRow("while a command runs") << QList<QUrl>{scan} << true << "Edit1";
  }
  void aDroppedScanFileFillsTheField() {
    QFETCH(QList<QUrl>, urls);
    QFETCH(bool, readOnly);
    QFETCH(QString, text);
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    auto* edit = static_cast<QLineEdit*>(window.control("Edit1"));
    edit->setReadOnly(readOnly);
    QMimeData data;
    data.setUrls(urls);
    drop(edit, &data);
    QCOMPARE(edit->text(), text);
  }

  void newSessionAsksOnlyWhenResultsAreUnsaved_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("saved") << true << QMessageBox::No << false << true;
    QTest::newRow("unsaved, keep") << false << QMessageBox::No << true << false;
    QTest::newRow("unsaved, discard") << false << QMessageBox::Yes << true << true;
  }
  void newSessionAsksOnlyWhenResultsAreUnsaved() {
    QFETCH(bool, save);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, asked);
    QFETCH(bool, cleared);
    ScriptedDialogs dialogs;
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    QVERIFY(clickAndWait(window, "Button2"));
    if (save) {
      dialogs.inputs = {std::string("session.txt")};
      QVERIFY(clickAndWait(window, "Button12"));
    }
    bool wasAsked = false;
    QPointer<QTimer> watcher = answerNextBox([&](QWidget* box) {
      wasAsked = true;
      static_cast<QMessageBox*>(box)->button(answer)->click();
    });
    window.newSession();
    QCOMPARE(wasAsked, asked);
    QCOMPARE(memoText(window) == "Results Area\n", cleared);
    QCOMPARE(static_cast<QLabel*>(window.control("ViewCaption"))->toolTip().isEmpty(), cleared);
    delete watcher.data();
  }

  void helpShowsTheReadmesCommandTable_data() {
    QTest::addColumn<QString>("readme");
    QTest::addColumn<QString>("section");
    QTest::newRow("between headings")
        << "# T\n## Running\nx\n## The commands\n| a |\n### Sub\ny\n## Next\nz\n"
        << "## The commands\n| a |\n### Sub\ny";
    QTest::newRow("last section") << "## The commands\n| b |\n"
                                  << "## The commands\n| b |";
    QTest::newRow("no table") << "# T\n## The commands of old\n"
                              << "";
  }
  void helpShowsTheReadmesCommandTable() {
    QFETCH(QString, readme);
    QFETCH(QString, section);
    QCOMPARE(commandsSection(readme), section);
  }
};

}  // namespace pelk

static pelk::gui_test::RegisterTests<pelk::WindowFeaturesTest> registered;
#include "window_features_test.moc"
