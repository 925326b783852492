#include "gui/main_window.h"

#include "workbench/report_history.h"

#include <QAction>
#include <filesystem>

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>

#include "gui/command_help.h"
#include "gui/command_runner.h"
#include "gui/compare_studies_dialog.h"
#include "gui/import_dialog.h"
#include "gui/progression_legend.h"
#include "gui/qt_dialogs.h"
#include "gui/scan_drop.h"
#include "report/picture_report.h"
#include "workbench/workbench.h"

namespace pelk {
namespace {

constexpr int kClientWidth = 825;
constexpr int kClientHeight = 597;
constexpr int kStatusBarHeight = 24;

QString local(const std::string& s) {
  return QString::fromLocal8Bit(s.data(), static_cast<int>(s.size()));
}
std::string local(const QString& s) { return s.toLocal8Bit().toStdString(); }

// "Results → Save report…": the picture report of the working folder, opened in the browser.
void saveReport(QWidget* parent, const Workbench& workbench) {
  const QString path =
      QFileDialog::getSaveFileName(parent, QStringLiteral("Save report"),
                                   QDir::current().filePath(QStringLiteral("report.html")),
                                   QStringLiteral("HTML report (*.html)"));
  if (path.isEmpty()) return;
  ReportRequest request;
  request.folder = std::filesystem::current_path();
  request.patient = workbench.TestInfo.patient;
  request.test = workbench.TestInfo.test;
  request.hospital = workbench.TestInfo.hospital;
  request.date = workbench.TestInfo.date;
  request.programVersion = PELK_VERSION;
  request.madeAt = localTimestamp();
  request.standardScan = workbench.Edit1;
  request.referenceScan = workbench.Edit2;
  request.thirdScan = workbench.Edit3;
  std::optional<std::string> warning;
  request.history =
      earlierRunsFromStore(chooseStore(std::nullopt, false), workbench.TestInfo.patient, warning);
  try {
    writePictureReport(request, local(path));
  } catch (const std::exception& e) {
    QMessageBox::warning(parent, QStringLiteral("Save report"), local(std::string(e.what())));
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace

MainWindow::MainWindow(Workbench& workbench, QWidget* parent)
    : QMainWindow(parent), workbench_(workbench), runner_(new CommandRunner(this)) {
  workbench_.setInteractive(true);
  connect(runner_, &CommandRunner::finished, this, &MainWindow::commandEnded);
  setWindowTitle(QStringLiteral("PELK 40 — MRI comparison workbench, version " PELK_VERSION));
  // Tahoma 8 pt (11 pixels on a 96 dpi screen) where it exists; elsewhere a condensed sans
  // serif of the same height, so every caption fits the fixed control sizes.
  QFont font(QStringLiteral("Tahoma"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  if (QFontInfo(font).family() != QStringLiteral("Tahoma")) {
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial")});
    font.setStretch(QFont::Condensed);
  }
  setFont(font);

  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("Form1"));
  client_->setFixedSize(kClientWidth, kClientHeight);
  client_->setAutoFillBackground(true);
  QPalette palette = client_->palette();
  palette.setColor(QPalette::Window, QColor(0xA6, 0xCA, 0xF0));
  client_->setPalette(palette);
  setCentralWidget(client_);

  image_ = new QLabel(client_);
  image_->setObjectName(QStringLiteral("Image1"));
  image_->setGeometry(8, 8, 385, 329);
  image_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  memo_ = new QPlainTextEdit(client_);
  memo_->setObjectName(QStringLiteral("Memo1"));
  memo_->setGeometry(8, 344, 497, 185);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // Tab moves on to the next control, as everywhere else in the window.
  memo_->setTabChangesFocus(true);

  // The space right of the view, above the scan fields, is free in the fixed layout.
  caption_ = new QLabel(client_);
  caption_->setObjectName(QStringLiteral("ViewCaption"));
  caption_->setGeometry(408, 12, 409, 20);

  auto* group = new QGroupBox(QStringLiteral("RadioGroup1"), client_);
  group->setObjectName(QStringLiteral("RadioGroup1"));
  group->setGeometry(408, 40, 57, 73);
  auto* standard = new QRadioButton(QStringLiteral("Std"), group);
  standard->setObjectName(QStringLiteral("RadioStd"));
  standard->setGeometry(8, 18, 45, 20);
  auto* ref = new QRadioButton(QStringLiteral("Ref"), group);
  ref->setObjectName(QStringLiteral("RadioRef"));
  ref->setGeometry(8, 42, 45, 20);
  radioGroup_ = new QButtonGroup(this);
  radioGroup_->addButton(standard, 0);
  radioGroup_->addButton(ref, 1);

  auto* label = new QLabel(QStringLiteral("Output File"), client_);
  label->setObjectName(QStringLiteral("Label1"));
  label->setGeometry(408, 120, 53, 13);

  auto makeEdit = [this](const char* name, int top) {
    auto* edit = new QLineEdit(client_);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(472, top, 249, 21);
    return edit;
  };
  edit1_ = makeEdit("Edit1", 48);
  edit2_ = makeEdit("Edit2", 80);
  edit3_ = makeEdit("Edit3", 112);
  for (QLineEdit* edit : {edit1_, edit2_, edit3_}) ScanDrop::enable(edit);

  addButton("Button17", "Load Std", 736, 48, 75, 25, &Workbench::Button17Click);
  addButton("Button18", "Load Ref", 736, 80, 75, 25, &Workbench::Button18Click);
  addButton("Button19", "Load Out/Ref 3", 728, 112, 83, 25, &Workbench::Button19Click);
  addButton("Button11", "1. Enter Test Info", 416, 152, 89, 25, &Workbench::Button11Click);
  addButton("Button2", "2. Plot", 528, 152, 75, 25, &Workbench::Button2Click);
  addButton("Button6", "Opt 1. Zonal Corr. Highlight Sys.", 648, 152, 161, 25,
            &Workbench::Button6Click);
  addButton("Button3", "3. Rel. Rank Analysis-1", 528, 192, 137, 25, &Workbench::Button3Click);
  addButton("Button4", "Opt2. Rel. Rank Analysis-2", 672, 192, 137, 25, &Workbench::Button4Click);
  addButton("Button5", "4. Multi Corr. Highlight Sys.", 528, 240, 137, 25,
            &Workbench::Button5Click);
  addButton("Button8", "5. Cluster", 528, 280, 75, 25, &Workbench::Button8Click);
  addButton("Button14", "Print", 416, 280, 75, 25, &Workbench::Button14Click);
  addButton("Button7", "6. Diiferential Image", 528, 328, 113, 25, &Workbench::Button7Click);
  QPushButton* falseColor = addButton("Button15", "false color-Test Mode Only", 672, 352, 137, 25,
                                      &Workbench::Button15Click);
  addButton("Sy", "7. Synopsis Cocktail 1", 528, 368, 113, 25, &Workbench::SyClick);
  QPushButton* tes = addButton("Button9", "10. TES", 720, 392, 75, 25, &Workbench::Button9Click);
  addButton("Button10", "8. Save Image", 528, 408, 75, 25, &Workbench::Button10Click);
  addButton("Button16", "9. Synopsus Cocktail 2", 528, 448, 113, 25, &Workbench::Button16Click);
  addButton("Button13", "10. Tumor Prog. Analysis-1", 528, 488, 153, 25, &Workbench::Button13Click);
  QPushButton* exit = addButton("Button1", "Exit", 728, 488, 75, 25, &Workbench::Button1Click);
  addButton("Button12", "11. Save Result File", 528, 528, 153, 25, &Workbench::Button12Click);

  falseColor->setVisible(workbench_.Button15Visible);
  tes->setVisible(workbench_.Button9Visible);
  connect(exit, &QPushButton::clicked, this, &QWidget::close);

  for (QWidget* child : client_->findChildren<QWidget*>()) child->setFont(font);
  addMenuAction(
      QStringLiteral("&Scans"), QStringLiteral("Import scan…"), [this] { importScan(); },
      QKeySequence(QStringLiteral("Ctrl+I")), true);
  addMenuAction(
      QStringLiteral("&Scans"), QStringLiteral("Compare studies…"), [this] { compareStudies(); },
      {}, true);
  addMenuCommand(QStringLiteral("&Analysis"), QStringLiteral("Robust Tumour Progression"),
                 [this] { workbench_.RobustTpaClick(); });
  addMenuAction(
      QStringLiteral("&Results"), QStringLiteral("New session"), [this] { newSession(); }, {},
      true);
  // Writing the report asks for a file name, so it runs on the window's thread; it is quick.
  addMenuAction(
      QStringLiteral("&Results"), QStringLiteral("Save report…"),
      [this] { saveReport(this, workbench_); }, {}, true);
  addMenuAction(
      QStringLiteral("&Help"), QStringLiteral("Commands…"), [this] { showCommandHelp(); },
      QKeySequence(Qt::Key_F1));
  static_cast<QPushButton*>(control(QStringLiteral("Button12")))
      ->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
  static_cast<QPushButton*>(control(QStringLiteral("Button14")))
      ->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
  // The reports line numbers up in fixed-width columns; a fixed-pitch font keeps them lined up.
  QFont fixed(QStringLiteral("DejaVu Sans Mono"));
  fixed.setStyleHint(QFont::Monospace);
  fixed.setPixelSize(11);
  memo_->setFont(fixed);

  edit1_->setText(local(workbench_.Edit1));
  edit2_->setText(local(workbench_.Edit2));
  edit3_->setText(local(workbench_.Edit3));
  buildStatusBar();
  // The layout is fixed, so the window is too: the client area plus the bars around it.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  showWorkbench();
}

MainWindow::~MainWindow() {
  // The command may still reach the workbench and its dialogs; it must end first.
  workbench_.control().requestCancel();
  runner_->wait();
}

void MainWindow::buildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  bar->setSizeGripEnabled(false);
  bar->setFixedHeight(kStatusBarHeight);
  folder_ = new QLabel(bar);
  folder_->setObjectName(QStringLiteral("WorkingFolder"));
  const QString folder = QDir::toNativeSeparators(QDir::currentPath());
  folder_->setText(
      folder_->fontMetrics().elidedText(QStringLiteral("Folder: ") + folder, Qt::ElideMiddle, 360));
  folder_->setToolTip(folder);
  store_ = new QLabel(QStringLiteral("Store: none"), bar);
  store_->setObjectName(QStringLiteral("StoreInUse"));
  progress_ = new QProgressBar(bar);
  progress_->setObjectName(QStringLiteral("CommandProgress"));
  progress_->setFixedSize(160, 14);
  progress_->setTextVisible(false);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), bar);
  cancel_->setObjectName(QStringLiteral("CancelCommand"));
  cancel_->setFixedHeight(kStatusBarHeight - 4);
  bar->addWidget(folder_);
  bar->addWidget(store_, 1);
  bar->addPermanentWidget(progress_);
  bar->addPermanentWidget(cancel_);
  progress_->hide();
  cancel_->hide();
  connect(cancel_, &QPushButton::clicked, this, [this] {
    workbench_.control().requestCancel();
    cancel_->setEnabled(false);
  });
  progressTimer_ = new QTimer(this);
  progressTimer_->setInterval(100);
  connect(progressTimer_, &QTimer::timeout, this, &MainWindow::showProgress);
}

void MainWindow::setStoreInUse(const QString& description) {
  const QString text =
      QStringLiteral("Store: ") + (description.isEmpty() ? QStringLiteral("none") : description);
  store_->setText(store_->fontMetrics().elidedText(text, Qt::ElideMiddle, 300));
  store_->setToolTip(description);
}

QPushButton* MainWindow::addButton(const char* name, const char* caption, int left, int top,
                                   int width, int height, void (Workbench::*handler)()) {
  auto* button = new QPushButton(QString::fromUtf8(caption), client_);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(left, top, width, height);
  connect(button, &QPushButton::clicked, this,
          [this, handler] { runCommand([this, handler] { (workbench_.*handler)(); }); });
  return button;
}

QAction* MainWindow::addMenuAction(const QString& menu, const QString& text,
                                   std::function<void()> slot, const QKeySequence& shortcut,
                                   bool whileIdleOnly) {
  QMenu*& entry = menus_[menu];
  if (!entry) entry = menuBar()->addMenu(menu);
  QAction* action = entry->addAction(text, this, std::move(slot));
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  if (whileIdleOnly) {
    action->setEnabled(!commandRunning());
    commandActions_.push_back(action);
  }
  return action;
}

QAction* MainWindow::addMenuCommand(const QString& menu, const QString& text,
                                    std::function<void()> command, const QKeySequence& shortcut) {
  return addMenuAction(
      menu, text, [this, command = std::move(command)] { runCommand(command); }, shortcut, true);
}

bool MainWindow::commandRunning() const { return runner_->busy(); }

bool MainWindow::runCommand(std::function<void()> command) {
  if (runner_->busy()) return false;
  pushFieldsToWorkbench();
  workbench_.control().reset();
  commandFailure_.clear();
  setBusy(true);
  // The control that started the command, for the hook (the results store keeps its word).
  const QObject* from = sender();
  const auto* action = qobject_cast<const QAction*>(from);
  const QString control = action ? action->text() : from ? from->objectName() : QString();
  runner_->start([this, control, command = std::move(command)] {
    // The workbench's commands report their own failures; this catches what a command added
    // from outside lets through, which on a worker thread would end the program.
    try {
      if (commandHook_) commandHook_(control, command);
      else command();
    } catch (const std::exception& e) {
      commandFailure_ = QString::fromLocal8Bit(e.what());
    }
  });
  return true;
}

void MainWindow::commandEnded() {
  setBusy(false);
  edit1_->setText(local(workbench_.Edit1));
  edit2_->setText(local(workbench_.Edit2));
  edit3_->setText(local(workbench_.Edit3));
  showWorkbench();
  if (!commandFailure_.isEmpty())
    QMessageBox::critical(this, QStringLiteral("PELK 40"), commandFailure_);
  Q_EMIT commandFinished();
  if (closeWhenDone_) close();
}

void MainWindow::setBusy(bool busy) {
  for (QPushButton* button : client_->findChildren<QPushButton*>()) button->setEnabled(!busy);
  for (QRadioButton* radio : client_->findChildren<QRadioButton*>()) radio->setEnabled(!busy);
  for (QLineEdit* edit : {edit1_, edit2_, edit3_}) edit->setReadOnly(busy);
  for (QAction* action : commandActions_) action->setEnabled(!busy);
  // The command owns the results area until it ends; the user may still scroll it.
  memo_->setReadOnly(busy);
  progress_->setVisible(busy);
  cancel_->setVisible(busy);
  cancel_->setEnabled(busy);
  progress_->setRange(0, 0);
  if (busy) {
    progressTimer_->start();
  } else {
    progressTimer_->stop();
  }
}

void MainWindow::showProgress() {
  const int total = workbench_.control().total();
  if (total > 0) {
    progress_->setRange(0, total);
    progress_->setValue(workbench_.control().done());
  } else {
    progress_->setRange(0, 0);
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (runner_->busy()) {
    // Closing now would pull the workbench from under the command: stop it, then close.
    workbench_.control().requestCancel();
    closeWhenDone_ = true;
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void MainWindow::useDialogs(QtDialogs& dialogs) {
  dialogs.setParentWidget(this);
  dialogs.setErrorNotes([this](const std::string& message) { return emptyFieldNotes(message); });
}

QString MainWindow::emptyFieldNotes(const std::string& message) const {
  // A command given an empty field fails opening a file with no name; the message itself stays
  // as the command line prints it.
  if (message != "File not found: ") return {};
  QStringList notes;
  if (edit1_->text().isEmpty()) notes << QStringLiteral("The standard image field is empty.");
  if (edit2_->text().isEmpty()) notes << QStringLiteral("The reference image field is empty.");
  if (edit3_->text().isEmpty())
    notes << QStringLiteral("The third image field (Output File) is empty.");
  return notes.join('\n');
}

void MainWindow::newSession() {
  if (runner_->busy()) return;
  pushFieldsToWorkbench();
  if (!workbench_.resultsSaved() &&
      QMessageBox::question(
          this, QStringLiteral("New session"),
          QStringLiteral(
              "The results have not been saved.\nDiscard them and start a new session?")) !=
          QMessageBox::Yes)
    return;
  workbench_.NewSession();
  linesShown_ = 0;
  showWorkbench();
}

void MainWindow::importScan() {
  if (runner_->busy()) return;
  ImportDialog dialog(QDir::currentPath(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  runCommand([this, volume = dialog.volume(), request = dialog.request(), field = dialog.field()] {
    workbench_.ImportScanInto(*volume, request, field);
  });
}

void MainWindow::compareStudies() {
  if (runner_->busy()) return;
  CompareStudiesDialog dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  runCommand([this, baseline = dialog.baseline(), followUps = dialog.followUps()] {
    workbench_.CompareStudiesClick(baseline, followUps);
  });
}

void MainWindow::showCommandHelp() {
  if (help_) {
    help_->raise();
    help_->activateWindow();
    return;
  }
  QString section;
  for (const QString& path : readmeCandidates()) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
      section = commandsSection(QString::fromUtf8(file.readAll()));
    if (!section.isEmpty()) break;
  }
  if (section.isEmpty()) {
    QMessageBox::warning(
        this, QStringLiteral("PELK 40"),
        QStringLiteral("The README with the table of commands was not found in:\n") +
            readmeCandidates().join('\n'));
    return;
  }
  auto* dialog = new QDialog(this);
  dialog->setObjectName(QStringLiteral("CommandHelp"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QStringLiteral("PELK 40 — the commands"));
  auto* browser = new QTextBrowser(dialog);
  browser->setMarkdown(section);
  auto* box = new QVBoxLayout(dialog);
  box->addWidget(browser);
  dialog->resize(900, 600);
  help_ = dialog;
  dialog->show();
}

void MainWindow::setScanFields(const QString& standard, const QString& reference,
                               const QString& third) {
  edit1_->setText(standard);
  edit2_->setText(reference);
  edit3_->setText(third);
}

void MainWindow::pushFieldsToWorkbench() {
  workbench_.Edit1 = local(edit1_->text());
  workbench_.Edit2 = local(edit2_->text());
  workbench_.Edit3 = local(edit3_->text());
  workbench_.RadioGroup1 = radioGroup_->checkedId();
  if (memo_->document()->isModified()) {
    // The user edited the results area: its text is what the workbench saves and prints.
    std::vector<std::string> lines;
    for (const QString& line : memo_->toPlainText().split('\n')) lines.push_back(local(line));
    workbench_.Memo1.setLines(std::move(lines));
    linesShown_ = workbench_.Memo1.count();
    memo_->document()->setModified(false);
  }
}

void MainWindow::showWorkbench() {
  const auto& lines = workbench_.Memo1.lines();
  if (lines.size() < linesShown_ || linesShown_ == 0) {
    QStringList all;
    for (const auto& line : lines) all << local(line);
    memo_->setPlainText(all.join('\n'));
  } else if (lines.size() > linesShown_) {
    QStringList added;
    for (std::size_t i = linesShown_; i < lines.size(); ++i) added << local(lines[i]);
    memo_->appendPlainText(added.join('\n'));
  }
  linesShown_ = lines.size();
  memo_->document()->setModified(false);
  // Undo takes back the user's own edits only, never lines a command added.
  memo_->document()->clearUndoRedoStacks();
  memo_->verticalScrollBar()->setValue(memo_->verticalScrollBar()->maximum());
  showPicture();
}

void MainWindow::showPicture() {
  const Picture& picture = workbench_.Image1;
  // 0x00BBGGRR words are R, G, B, 0 bytes in memory on a little-endian machine.
  QImage view(reinterpret_cast<const uchar*>(picture.pixels().data()), picture.width(),
              picture.height(), picture.width() * 4, QImage::Format_RGBX8888);
  QImage shown = view.copy();
  if (workbench_.ViewShows == ViewContent::ProgressionOverlay) drawProgressionLegend(shown);
  image_->setPixmap(QPixmap::fromImage(shown));
  caption_->setText(caption_->fontMetrics().elidedText(local(workbench_.ViewCaption),
                                                       Qt::ElideMiddle, caption_->width()));
  caption_->setToolTip(local(workbench_.ViewCaption));
}

}  // namespace pelk
