#pragma once
#include <QMainWindow>
#include <functional>
#include <map>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace pelk {

class Workbench;

// The workbench window: the fixed layout of fields, buttons, view and results area over a
// Workbench, which does all the work. After each command the view and the results area are
// shown again from the workbench.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(Workbench& workbench, QWidget* parent = nullptr);

  // The controls by their names (Button1..Button19, Sy, Edit1..Edit3, Memo1, Image1, ...).
  QWidget* control(const QString& name) const { return findChild<QWidget*>(name); }
  // Adds an entry to the window's menu; the fixed layout below it does not move.
  QAction* addMenuCommand(const QString& menu, const QString& text, std::function<void()> command);
  // Runs a command with the window's fields handed to the workbench first and shown back after.
  void runCommand(const std::function<void()>& command);
  // Wraps every command run from a button or a menu entry: the hook gets the control's name (a
  // button's object name, a menu entry's text) and must run the command itself.
  using CommandHook = std::function<void(const QString& control, const std::function<void()>&)>;
  void setCommandHook(CommandHook hook) { commandHook_ = std::move(hook); }
  // Puts the fields' scan names back, as if typed.
  void setScanFields(const QString& standard, const QString& reference, const QString& third);

 private:
  QPushButton* addButton(const char* name, const char* caption, int left, int top, int width,
                         int height, void (Workbench::*handler)());
  void pushFieldsToWorkbench();
  void showWorkbench();
  void showPicture();

  Workbench& workbench_;
  QWidget* client_ = nullptr;
  QLabel* image_ = nullptr;
  QPlainTextEdit* memo_ = nullptr;
  QLineEdit* edit1_ = nullptr;
  QLineEdit* edit2_ = nullptr;
  QLineEdit* edit3_ = nullptr;
  QButtonGroup* radioGroup_ = nullptr;
  std::size_t linesShown_ = 0;
  std::map<QString, QMenu*> menus_;
  CommandHook commandHook_;
};

}  // namespace pelk
