#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>

#include "workbench/dialogs.h"

namespace pelk {

// The workbench's dialogs as Qt shows them: a file dialog, input boxes and message boxes,
// modal over the main window once it exists. A command running on a worker thread may call
// them: the box is shown on the window's thread while the command waits for the answer.
class QtDialogs : public Dialogs {
 public:
  void setParentWidget(QWidget* parent) { parent_ = parent; }
  // Lines the window adds under an error's own text (which stays as the command line prints
  // it), such as which field was left empty. Called on the window's thread.
  void setErrorNotes(std::function<QString(const std::string& message)> notes) {
    errorNotes_ = std::move(notes);
  }

  std::optional<std::string> openFile(const std::string& filter) override;
  std::string inputBox(const std::string& caption, const std::string& prompt,
                       const std::string& initialText) override;
  void showError(const std::string& message) override;
  void showMessage(const std::string& message) override;

  // "Name(*.ext)|*.ext|..." as the workbench writes it, to Qt's "Name(*.ext);;..." form.
  static QString qtFilter(const std::string& filter);

 private:
  QPointer<QWidget> parent_;
  std::function<QString(const std::string&)> errorNotes_;
};

}  // namespace pelk
