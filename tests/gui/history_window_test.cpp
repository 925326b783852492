// The window records each command in the store, and "Results → History…" reads it back.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "gui/history_dialog.h"
#include "gui/history_recorder.h"
#include "gui/main_window.h"
#include "tests/gui/gui_fixture.h"
#include "tests/workbench/scripted_dialogs.h"
#include "tools/sample_set.h"
#include "workbench/workbench.h"

namespace pelk {

class HistoryWindowTest : public QObject {
  Q_OBJECT

  std::filesystem::path previous_;
  std::filesystem::path dir_;

 private Q_SLOTS:
  void init() {
    previous_ = std::filesystem::current_path();
    char pattern[] = "/tmp/pelk-gui-history-XXXXXX";
    dir_ = mkdtemp(pattern);
    std::filesystem::current_path(dir_);
    writeSampleSet(".");
    qputenv("PELK40_STORE", ("sqlite:" + (dir_ / "runs.sqlite").string()).c_str());
  }
  void cleanup() {
    qunsetenv("PELK40_STORE");
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(dir_);
  }

  void recordsEachCommandAndGivesItsScansBack() {
    test::ScriptedDialogs shown;
    RecordingDialogs dialogs(shown);
    Workbench workbench(dialogs);
    MainWindow window(workbench);
    WindowHistory history(window, workbench, dialogs);
    QVERIFY(window.findChild<QLabel*>("StoreInUse")->toolTip().contains("runs.sqlite"));

    window.setScanFields("standard.bmp", "reference.bmp", "third.bmp");
    QVERIFY(gui_test::clickAndWait(window, "Sy"));
    window.setScanFields("missing.bmp", "reference.bmp", "third.bmp");
    QVERIFY(gui_test::clickAndWait(window, "Button3"));
    QCOMPARE(shown.errors.size(), std::size_t{1});

    HistoryDialog dialog(*chooseStore(std::nullopt, false), &window);
    auto* table = dialog.findChild<QTableWidget*>("runs");
    QCOMPARE(table->rowCount(), 2);
    table->sortItems(0, Qt::DescendingOrder);  // the failed rra1 first
    table->selectRow(0);
    auto* details = dialog.findChild<QPlainTextEdit*>("details");
    QVERIFY(details->toPlainText().contains("Stopped: "));
    table->selectRow(1);
    QVERIFY(details->toPlainText().contains("RRA-2: 11.952 significant"));
    dialog.findChild<QPushButton*>("useScans")->click();
    QVERIFY(dialog.chosenScans().has_value());
    QCOMPARE(dialog.chosenScans()->at(0), std::string("standard.bmp"));
    QCOMPARE(dialog.chosenScans()->at(2), std::string(""));  // report 1 reads no third scan

    dialog.findChild<QLineEdit*>("patientFilter")->setText("nobody");
    QCOMPARE(table->rowCount(), 0);
  }
};

}  // namespace pelk

static pelk::gui_test::RegisterTests<pelk::HistoryWindowTest> registered;
#include "history_window_test.moc"
