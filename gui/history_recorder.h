#pragma once
#include <QString>

class QLabel;
#include <memory>
#include <optional>
#include <string>

#include "store/run_recorder.h"
#include "workbench/dialogs.h"

namespace pelk {

class MainWindow;
class Workbench;

// The dialogs of the window, passed through, with the error a command ended with noted for the
// results store.
class RecordingDialogs : public Dialogs {
 public:
  explicit RecordingDialogs(Dialogs& shown) : shown_(shown) {}
  std::optional<std::string> openFile(const std::string& filter) override {
    return shown_.openFile(filter);
  }
  std::string inputBox(const std::string& caption, const std::string& prompt,
                       const std::string& initialText) override {
    return shown_.inputBox(caption, prompt, initialText);
  }
  void showError(const std::string& message) override;
  void showMessage(const std::string& message) override { shown_.showMessage(message); }

  // Forgets the last error; the error since then, if any.
  void clearError() { error_.reset(); }
  const std::optional<std::string>& error() const { return error_; }

 private:
  Dialogs& shown_;
  std::optional<std::string> error_;
};

// Records every command the window runs in the results store (the one PELK40_STORE names, or
// the user's default), names the store in the status line, and adds "Results → History…".
class WindowHistory {
 public:
  WindowHistory(MainWindow& window, Workbench& workbench, RecordingDialogs& dialogs);
  ~WindowHistory();

  // The command-line word of a window control, empty for controls the store does not keep.
  static std::string commandOf(const QString& control);

 private:
  void runRecorded(const QString& control, const std::function<void()>& command);
  void openHistory();

  MainWindow& window_;
  Workbench& workbench_;
  RecordingDialogs& dialogs_;
  std::optional<StoreLocation> where_;
  RunRecorder recorder_;
};

}  // namespace pelk
