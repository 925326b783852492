#include "gui/history_recorder.h"

#include <QMetaObject>
#include <map>

#include "gui/history_dialog.h"
#include "gui/main_window.h"
#include "workbench/workbench.h"

namespace pelk {

void RecordingDialogs::showError(const std::string& message) {
  error_ = message;
  shown_.showError(message);
}

std::string WindowHistory::commandOf(const QString& control) {
  static const std::map<QString, std::string> words = {{"Button3", "rra1"},
                                                       {"Button4", "rra2"},
                                                       {"Button5", "mchs"},
                                                       {"Button6", "zchs"},
                                                       {"Button8", "cluster"},
                                                       {"Button7", "diff"},
                                                       {"Button13", "tpa"},
                                                       {"Sy", "synopsis1"},
                                                       {"Button16", "synopsis2"},
                                                       {"Button10", "save-image"},
                                                       {"Button12", "save-results"},
                                                       {"Button14", "print"},
                                                       {"Button15", "false-color"},
                                                       {"Button17", "load-std"},
                                                       {"Button18", "load-ref"},
                                                       {"Button19", "load-third"},
                                                       {"Robust Tumour Progression", "robust-tpa"},
                                                       {"Import scan…", "import"},
                                                       {"Compare studies…", "study"}};
  auto it = words.find(control);
  return it == words.end() ? std::string() : it->second;
}

WindowHistory::WindowHistory(MainWindow& window, Workbench& workbench, RecordingDialogs& dialogs)
    : window_(window),
      workbench_(workbench),
      dialogs_(dialogs),
      where_(chooseStore(std::nullopt, false)),
      recorder_(where_, PELK_VERSION) {
  window_.setCommandHook([this](const QString& control, const std::function<void()>& command) {
    runRecorded(control, command);
  });
  // The history opens a window of its own, so it runs on the window's thread, between commands.
  window_.addMenuAction(
      QStringLiteral("&Results"), QStringLiteral("History…"), [this] { openHistory(); }, {}, true);
  window_.setStoreInUse(QString::fromStdString(recorder_.storeName()));
}

WindowHistory::~WindowHistory() = default;

void WindowHistory::runRecorded(const QString& control, const std::function<void()>& command) {
  std::string word = commandOf(control);
  if (control == QLatin1String("Button2"))  // "2. Plot": the word follows the chosen item
    word = workbench_.RadioGroup1 == 0   ? "plot-std"
           : workbench_.RadioGroup1 == 1 ? "plot-ref"
                                         : "plot";
  if (word.empty()) {
    command();
    return;
  }
  const TestInformation& info = workbench_.TestInfo;
  // A study's inputs come from its own dialog and are known once it has run.
  const bool study = word == "study";
  const std::string startedAt = utcNow();
  if (!study)
    recorder_.begin(word, {workbench_.Edit1, workbench_.Edit2, workbench_.Edit3, info.patient,
                           info.test, info.hospital, info.date});
  dialogs_.clearError();
  command();
  if (study) {
    const Workbench::StudyInputs& s = workbench_.lastStudy();
    recorder_.begin(word,
                    studyInputs({"", "", "", info.patient, info.test, info.hospital, info.date},
                                s.baseline, s.followUps, s.folder),
                    startedAt);
  }
  // A cancelled command did not complete, though it showed no error.
  const bool cancelled = !dialogs_.error() && workbench_.control().cancelRequested();
  auto warning =
      recorder_.finish(!dialogs_.error() && !cancelled,
                       cancelled ? "Cancelled by the user" : dialogs_.error().value_or(""));
  // Commands run on a worker thread; the status bar belongs to the window's.
  const QString shown =
      QString::fromStdString(warning ? "not stored: " + *warning : recorder_.storeName());
  QMetaObject::invokeMethod(
      &window_, [this, shown] { window_.setStoreInUse(shown); }, Qt::QueuedConnection);
}

void WindowHistory::openHistory() {
  if (!where_) return;
  HistoryDialog dialog(*where_, &window_);
  if (dialog.exec() != QDialog::Accepted || !dialog.chosenScans()) return;
  const auto& scans = *dialog.chosenScans();
  window_.setScanFields(QString::fromStdString(scans[0]), QString::fromStdString(scans[1]),
                        QString::fromStdString(scans[2]));
}

}  // namespace pelk
