// "Scans → Compare studies…" from the menu to the filled window, the dialog answered in code.
#include "gui/compare_studies_dialog.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <algorithm>

#include "gui/history_recorder.h"
#include "store/history_format.h"
#include "store/result_store.h"
#include "tests/gui/gui_fixture.h"
#include "tests/workbench/study_triple.h"
#include "workbench/workbench.h"

namespace pelk {
namespace {

using gui_test::answerNextBox;
using gui_test::ScriptedDialogs;

QAction* menuEntry(MainWindow& window, const QString& text) {
  for (QAction* menu : window.menuBar()->actions())
    for (QAction* entry : menu->menu()->actions())
      if (entry->text() == text) return entry;
  return nullptr;
}

QString fieldText(MainWindow& window, const char* name) {
  return static_cast<QLineEdit*>(window.control(name))->text();
}

}  // namespace

class CompareStudiesTest : public QObject {
  Q_OBJECT

  std::optional<gui_test::ScratchFolder> scratch_;

 private Q_SLOTS:
  void init() { scratch_.emplace(); }
  void cleanup() { scratch_.reset(); }

  void theMenuEntryComparesTheStudiesIntoTheWindow_data() {
    QTest::addColumn<QString>("followUp2");
    QTest::addColumn<QString>("third");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("two follow-ups") << "f2.nii.gz"
                                    << "base-study/third.bmp"
                                    << "Verdict: INCREASING";
    QTest::newRow("one follow-up") << ""
                                   << "Edit3"
                                   << "Verdict: none";
  }
  void theMenuEntryComparesTheStudiesIntoTheWindow() {
    QFETCH(QString, followUp2);
    QFETCH(QString, third);
    QFETCH(QString, verdict);
    test::writeStudyTriple();
    qputenv("PELK40_STORE", "sqlite:runs.sqlite");
    ScriptedDialogs dialogs;
    RecordingDialogs recording(dialogs);
    Workbench workbench(recording);
    MainWindow window(workbench);
    WindowHistory history(window, workbench, recording);
    QAction* entry = menuEntry(window, "Compare studies…");
    QVERIFY(entry);
    QSignalSpy finished(&window, &MainWindow::commandFinished);
    QString output;
    answerNextBox([&](QWidget* box) {
      auto* dialog = qobject_cast<CompareStudiesDialog*>(box);
      QVERIFY(dialog);
      dialog->setStudy(0, "base.nii.gz");
      dialog->setStudy(1, "missing.nii.gz");
      dialog->accept();  // refused: the box says which study is missing and stays
      QVERIFY(dialog->isVisible());
      QVERIFY(dialog->findChild<QLabel*>("StudyStatus")->text().contains("missing.nii.gz"));
      dialog->setStudy(1, "f1.nii.gz");
      dialog->setStudy(2, followUp2);
      output = dialog->findChild<QLabel*>("StudyOutput")->text();
      dialog->accept();
    });
    entry->trigger();
    QVERIFY(finished.count() > 0 || finished.wait(60000));

    QCOMPARE(output, QString("base-study"));
    QCOMPARE(dialogs.errors, std::vector<std::string>{"File not found: test101.bmp"});
    QCOMPARE(fieldText(window, "Edit1"), QString("base-study/std.bmp"));
    QCOMPARE(fieldText(window, "Edit2"), QString("base-study/ref.bmp"));
    QCOMPARE(fieldText(window, "Edit3"), third);
    QCOMPARE(static_cast<QLabel*>(window.control("ViewCaption"))->toolTip(),
             QString("Study comparison base-study/study.bmp"));
    const QStringList lines =
        static_cast<QPlainTextEdit*>(window.control("Memo1"))->toPlainText().split('\n');
    const qsizetype title = lines.indexOf("Results of Study Comparison");
    QVERIFY(title > 0);
    QCOMPARE(lines[title + 1], QString("Study comparison"));
    QVERIFY(std::any_of(lines.begin(), lines.end(),
                        [&](const QString& line) { return line.startsWith(verdict); }));
    QCOMPARE(lines.mid(lines.size() - 4),
             QStringList({"Files written to base-study", " ", "Ready", " "}));

    // The results store keeps the run with the studies as its scans.
    auto store = ResultStore::open(*chooseStore(std::nullopt, false), false);
    qunsetenv("PELK40_STORE");
    const auto runs = store->history({});
    QCOMPARE(runs.size(), std::size_t{1});
    const RunRecord run = store->run(runs[0].id);
    QCOMPARE(run.command, std::string("study"));
    QVERIFY(run.completed);
    QCOMPARE(run.scans.at(0).path, std::string("base.nii.gz"));
    QVERIFY(run.results.study.has_value());
    QCOMPARE(run.results.study->verdict.has_value(), !followUp2.isEmpty());
    // What the history shows when the run is chosen.
    QVERIFY(
        QString::fromStdString(describeRun(run))
            .contains(followUp2.isEmpty() ? "Study verdict: none" : "Study verdict: INCREASING"));
    QCOMPARE(run.results.study->folder, (std::filesystem::current_path() / "base-study").string());
  }
};

}  // namespace pelk

static pelk::gui_test::RegisterTests<pelk::CompareStudiesTest> registered;
#include "compare_studies_test.moc"
