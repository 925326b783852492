#include "gui/main_window.h"

#include "workbench/report_history.h"

#include <QAction>
#include <filesystem>

#include <QApplication>
#include <QButtonGroup>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QUrl>

#include "report/picture_report.h"
#include "workbench/workbench.h"

namespace pelk {
namespace {

constexpr int kClientWidth = 825;
constexpr int kClientHeight = 597;

QString local(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<int>(s.size())); }
std::string local(const QString& s) { return s.toLocal8Bit().toStdString(); }

// "Results → Save report…": the picture report of the working folder, opened in the browser.
void saveReport(QWidget* parent, const Workbench& workbench) {
  const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Save report"),
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
    : QMainWindow(parent), workbench_(workbench) {
  setWindowTitle(QStringLiteral("PELK 40 — MRI comparison workbench, version " PELK_VERSION));
  // Tahoma 8 pt (11 pixels on a 96 dpi screen) where it exists; elsewhere a condensed sans
  // serif of the same height, so every caption fits the fixed control sizes.
  QFont font(QStringLiteral("Tahoma"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  if (QFontInfo(font).family() != QStringLiteral("Tahoma")) {
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
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

  addButton("Button17", "Load Std", 736, 48, 75, 25, &Workbench::Button17Click);
  addButton("Button18", "Load Ref", 736, 80, 75, 25, &Workbench::Button18Click);
  addButton("Button19", "Load Out/Ref 3", 728, 112, 83, 25, &Workbench::Button19Click);
  addButton("Button11", "1. Enter Test Info", 416, 152, 89, 25, &Workbench::Button11Click);
  addButton("Button2", "2. Plot", 528, 152, 75, 25, &Workbench::Button2Click);
  addButton("Button6", "Opt 1. Zonal Corr. Highlight Sys.", 648, 152, 161, 25, &Workbench::Button6Click);
  addButton("Button3", "3. Rel. Rank Analysis-1", 528, 192, 137, 25, &Workbench::Button3Click);
  addButton("Button4", "Opt2. Rel. Rank Analysis-2", 672, 192, 137, 25, &Workbench::Button4Click);
  addButton("Button5", "4. Multi Corr. Highlight Sys.", 528, 240, 137, 25, &Workbench::Button5Click);
  addButton("Button8", "5. Cluster", 528, 280, 75, 25, &Workbench::Button8Click);
  addButton("Button14", "Print", 416, 280, 75, 25, &Workbench::Button14Click);
  addButton("Button7", "6. Diiferential Image", 528, 328, 113, 25, &Workbench::Button7Click);
  QPushButton* falseColor =
      addButton("Button15", "false color-Test Mode Only", 672, 352, 137, 25, &Workbench::Button15Click);
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
  addMenuCommand(QStringLiteral("&Scans"), QStringLiteral("Import scan…"), [this] { workbench_.ImportScanClick(); });
  addMenuCommand(QStringLiteral("&Analysis"), QStringLiteral("Robust Tumour Progression"),
                 [this] { workbench_.RobustTpaClick(); });
  addMenuCommand(QStringLiteral("&Results"), QStringLiteral("Save report…"), [this] { saveReport(this, workbench_); });
  // The reports line numbers up in fixed-width columns; a fixed-pitch font keeps them lined up.
  QFont fixed(QStringLiteral("DejaVu Sans Mono"));
  fixed.setStyleHint(QFont::Monospace);
  fixed.setPixelSize(11);
  memo_->setFont(fixed);

  edit1_->setText(local(workbench_.Edit1));
  edit2_->setText(local(workbench_.Edit2));
  edit3_->setText(local(workbench_.Edit3));
  showWorkbench();
}

QPushButton* MainWindow::addButton(const char* name, const char* caption, int left, int top, int width,
                                   int height, void (Workbench::*handler)()) {
  auto* button = new QPushButton(QString::fromUtf8(caption), client_);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(left, top, width, height);
  connect(button, &QPushButton::clicked, this, [this, handler] { runCommand([this, handler] { (workbench_.*handler)(); }); });
  return button;
}

QAction* MainWindow::addMenuCommand(const QString& menu, const QString& text, std::function<void()> command) {
  QMenu*& entry = menus_[menu];
  if (!entry) entry = menuBar()->addMenu(menu);
  return entry->addAction(text, this, [this, command = std::move(command)] { runCommand(command); });
}

void MainWindow::runCommand(const std::function<void()>& command) {
  pushFieldsToWorkbench();
  // The window takes no input while a command runs.
  setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const QObject* from = sender();
  const auto* action = qobject_cast<const QAction*>(from);
  const QString control = action ? action->text() : from ? from->objectName() : QString();
  if (commandHook_)
    commandHook_(control, command);
  else
    command();
  QApplication::restoreOverrideCursor();
  setEnabled(true);
  edit1_->setText(local(workbench_.Edit1));
  edit2_->setText(local(workbench_.Edit2));
  edit3_->setText(local(workbench_.Edit3));
  showWorkbench();
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
  memo_->verticalScrollBar()->setValue(memo_->verticalScrollBar()->maximum());
  showPicture();
}

void MainWindow::showPicture() {
  const Picture& picture = workbench_.Image1;
  // 0x00BBGGRR words are R, G, B, 0 bytes in memory on a little-endian machine.
  QImage view(reinterpret_cast<const uchar*>(picture.pixels().data()), picture.width(), picture.height(),
              picture.width() * 4, QImage::Format_RGBX8888);
  image_->setPixmap(QPixmap::fromImage(view.copy()));
}

}  // namespace pelk
