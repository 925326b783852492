#pragma once
#include <QPointer>
#include <QWidget>

#include "workbench/dialogs.h"

namespace pelk {

// The workbench's dialogs as Qt shows them: a file dialog, input boxes and message boxes,
// modal over the main window once it exists.
class QtDialogs : public Dialogs {
 public:
  void setParentWidget(QWidget* parent) { parent_ = parent; }

  std::optional<std::string> openFile(const std::string& filter) override;
  std::string inputBox(const std::string& caption, const std::string& prompt,
                       const std::string& initialText) override;
  void showError(const std::string& message) override;
  void showMessage(const std::string& message) override;

  // "Name(*.ext)|*.ext|..." as the workbench writes it, to Qt's "Name(*.ext);;..." form.
  static QString qtFilter(const std::string& filter);

 private:
  QPointer<QWidget> parent_;
};

}  // namespace pelk
