#pragma once
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace pelk {

class CommandRunner;
class QtDialogs;
class Workbench;

// The workbench window: the fixed layout of fields, buttons, view and results area over a
// Workbench, which does all the work, with a menu bar above the layout and a status bar below
// it. Commands run on a worker thread; after each one the view and the results area are shown
// again from the workbench.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(Workbench& workbench, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The controls by their names (Button1..Button19, Sy, Edit1..Edit3, Memo1, Image1,
  // ViewCaption, and in the status bar WorkingFolder, StoreInUse, CommandProgress, CancelCommand).
  QWidget* control(const QString& name) const { return findChild<QWidget*>(name); }

  // Adds an entry to the window's menu that runs `command` as runCommand does; the fixed layout
  // below it does not move. The entry is disabled while a command runs.
  QAction* addMenuCommand(const QString& menu, const QString& text, std::function<void()> command,
                          const QKeySequence& shortcut = {});

  // Adds an entry whose `slot` runs on the window's thread, for what opens a window of its own
  // (a history browser, a dialog that gathers a long command's choices and then hands the work
  // to runCommand). It stays enabled while a command runs unless `whileIdleOnly`.
  QAction* addMenuAction(const QString& menu, const QString& text, std::function<void()> slot,
                         const QKeySequence& shortcut = {}, bool whileIdleOnly = false);

  // Runs a command off the window's thread, for short and long commands alike: the fields are
  // handed to the workbench first, the other commands are disabled, and the status bar shows a
  // progress bar with a Cancel button until it ends; then the view and the results area are
  // shown again and commandFinished() is emitted. The command calls workbench members only
  // (never widgets); its dialogs appear normally. A long command reports how far it got with
  // workbench.control().setProgress(done, total) (a busy bar until it does) and stops at
  // Cancel through workbench.control().throwIfCancelled() in its loops; every line it appends
  // is a cancellation point as well. Returns false, running nothing, while another command runs.
  bool runCommand(std::function<void()> command);
  bool commandRunning() const;

  // Wraps every command run from a button or a menu entry: the hook gets the control's name (a
  // button's object name, a menu entry's text) and must run the command itself. It runs on the
  // command's worker thread, around the command.
  using CommandHook = std::function<void(const QString& control, const std::function<void()>&)>;
  void setCommandHook(CommandHook hook) { commandHook_ = std::move(hook); }
  // Puts the fields' scan names back, as if typed.
  void setScanFields(const QString& standard, const QString& reference, const QString& third);

  // Shows the workbench's errors over this window, with a note naming an empty scan field.
  void useDialogs(QtDialogs& dialogs);

 public Q_SLOTS:
  // The results store in use, for the status bar ("results.sqlite", "postgresql://host/db").
  void setStoreInUse(const QString& description);
  // "Results → New session": empties the results area and the view, asking first when the
  // results were not saved.
  void newSession();
  // F1: the README's table of commands.
  void showCommandHelp();
  // "Scans → Import scan…": the import dialog, then the import as a command.
  void importScan();
  // "Scans → Compare studies…": the studies chosen in a dialog, then the study as a command.
  void compareStudies();

 Q_SIGNALS:
  void commandFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QPushButton* addButton(const char* name, const char* caption, int left, int top, int width,
                         int height, void (Workbench::*handler)());
  void buildStatusBar();
  void setBusy(bool busy);
  void commandEnded();
  void showProgress();
  void pushFieldsToWorkbench();
  void showWorkbench();
  void showPicture();
  QString emptyFieldNotes(const std::string& message) const;

  Workbench& workbench_;
  CommandRunner* runner_ = nullptr;
  QWidget* client_ = nullptr;
  QLabel* image_ = nullptr;
  QLabel* caption_ = nullptr;
  QPlainTextEdit* memo_ = nullptr;
  QLineEdit* edit1_ = nullptr;
  QLineEdit* edit2_ = nullptr;
  QLineEdit* edit3_ = nullptr;
  QButtonGroup* radioGroup_ = nullptr;
  QLabel* folder_ = nullptr;
  QLabel* store_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QTimer* progressTimer_ = nullptr;
  QPointer<QWidget> help_;
  std::size_t linesShown_ = 0;
  bool closeWhenDone_ = false;
  QString commandFailure_;
  std::map<QString, QMenu*> menus_;
  std::vector<QAction*> commandActions_;
  CommandHook commandHook_;
};

}  // namespace pelk
