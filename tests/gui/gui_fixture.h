#pragma once
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/main_window.h"
#include "workbench/dialogs.h"

namespace pelk::gui_test {

// The test objects main() runs, each file adding its own with a static RegisterTests<T>.
std::vector<std::function<std::unique_ptr<QObject>()>>& testObjectFactories();
template <typename T>
struct RegisterTests {
  RegisterTests() {
    testObjectFactories().push_back([] { return std::make_unique<T>(); });
  }
};

// Dialogs answered from a script, recording what was asked.
class ScriptedDialogs : public Dialogs {
 public:
  std::deque<std::optional<std::string>> files;
  std::deque<std::optional<std::string>> inputs;  // nullopt: cancelled
  std::vector<std::string> captions, errors, messages;

  std::optional<std::string> openFile(const std::string&) override {
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
  }
  std::string inputBox(const std::string& caption, const std::string&,
                       const std::string& initial) override {
    captions.push_back(caption);
    if (inputs.empty()) return initial;
    auto answer = inputs.front();
    inputs.pop_front();
    return answer ? *answer : initial;
  }
  void showError(const std::string& m) override { errors.push_back(m); }
  void showMessage(const std::string& m) override { messages.push_back(m); }
};

// Each test runs in a scratch folder of its own, made the working folder.
class ScratchFolder {
 public:
  ScratchFolder() : previous_(std::filesystem::current_path()) {
    dir_ = std::filesystem::temp_directory_path() /
           ("pelk-gui-" + std::to_string(QCoreApplication::applicationPid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
  }
  ~ScratchFolder() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(dir_);
  }
  const std::filesystem::path& path() const { return dir_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path dir_;
};

// Clicks a command button and waits for the command, which runs on a worker thread, to end.
inline bool clickAndWait(MainWindow& window, const char* button) {
  QSignalSpy finished(&window, &MainWindow::commandFinished);
  QTest::mouseClick(static_cast<QPushButton*>(window.control(button)), Qt::LeftButton);
  return finished.count() > 0 || finished.wait(60000);
}

// Deals with the next modal box as soon as it shows: `answer` reads it and closes it. Delete
// the returned watcher when no box came, so it cannot answer a later test's box.
inline QPointer<QTimer> answerNextBox(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)] {
    QWidget* box = QApplication::activeModalWidget();
    if (!box) return;
    timer->stop();
    timer->deleteLater();
    answer(box);
  });
  timer->start();
  return timer;
}

}  // namespace pelk::gui_test
