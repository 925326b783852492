#include "gui/compare_studies_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "workbench/workbench.h"

namespace pelk {
namespace {

std::string local(const QString& s) { return s.toLocal8Bit().toStdString(); }
QString local(const std::string& s) {
  return QString::fromLocal8Bit(s.data(), static_cast<int>(s.size()));
}

const char* const kRowNames[] = {"baseline", "follow-up 1", "follow-up 2"};

}  // namespace

CompareStudiesDialog::CompareStudiesDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Compare Studies"));
  auto* form = new QFormLayout(this);
  auto* note = new QLabel(
      QStringLiteral("Each study is a NIfTI volume (.nii, .nii.gz), a multi-frame DICOM file or a "
                     "folder holding one DICOM series."),
      this);
  note->setWordWrap(true);
  form->addRow(note);
  addStudyRow(0, QStringLiteral("Baseline:"), QStringLiteral("StudyBaseline"));
  addStudyRow(1, QStringLiteral("Follow-up 1:"), QStringLiteral("StudyFollowUp1"));
  addStudyRow(2, QStringLiteral("Follow-up 2 (optional):"), QStringLiteral("StudyFollowUp2"));

  output_ = new QLabel(this);
  output_->setObjectName(QStringLiteral("StudyOutput"));
  output_->setWordWrap(true);
  form->addRow(QStringLiteral("Writes into:"), output_);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("StudyStatus"));
  status_->setWordWrap(true);
  form->addRow(status_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton_ = buttons->button(QDialogButtonBox::Ok);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &CompareStudiesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  resize(640, sizeHint().height());
  updateState();
}

void CompareStudiesDialog::addStudyRow(int row, const QString& label, const QString& objectName) {
  auto* line = new QHBoxLayout;
  QLineEdit* path = new QLineEdit(this);
  path->setObjectName(objectName);
  auto* file = new QPushButton(QStringLiteral("File…"), this);
  auto* folder = new QPushButton(QStringLiteral("Folder…"), this);
  line->addWidget(path, 1);
  line->addWidget(file);
  line->addWidget(folder);
  static_cast<QFormLayout*>(layout())->addRow(label, line);
  paths_[static_cast<std::size_t>(row)] = path;
  connect(path, &QLineEdit::textChanged, this, &CompareStudiesDialog::updateState);
  connect(file, &QPushButton::clicked, this, [this, row] { browseFile(row); });
  connect(folder, &QPushButton::clicked, this, [this, row] { browseFolder(row); });
}

void CompareStudiesDialog::browseFile(int row) {
  const QString path = QFileDialog::getOpenFileName(
      this, QStringLiteral("Compare Studies: the %1").arg(QLatin1String(kRowNames[row])),
      QFileInfo(paths_[0]->text()).absolutePath(),
      QStringLiteral("Studies (*.nii *.nii.gz *.dcm);;All files (*)"));
  if (!path.isEmpty()) setStudy(row, path);
}

void CompareStudiesDialog::browseFolder(int row) {
  const QString path = QFileDialog::getExistingDirectory(
      this,
      QStringLiteral("Compare Studies: the %1 (a DICOM series)").arg(QLatin1String(kRowNames[row])),
      QFileInfo(paths_[0]->text()).absolutePath());
  if (!path.isEmpty()) setStudy(row, path);
}

void CompareStudiesDialog::setStudy(int row, const QString& path) {
  paths_[static_cast<std::size_t>(row)]->setText(path);
}

std::string CompareStudiesDialog::baseline() const { return local(paths_[0]->text().trimmed()); }

std::vector<std::string> CompareStudiesDialog::followUps() const {
  std::vector<std::string> chosen;
  for (std::size_t row = 1; row < paths_.size(); ++row)
    if (!paths_[row]->text().trimmed().isEmpty())
      chosen.push_back(local(paths_[row]->text().trimmed()));
  return chosen;
}

void CompareStudiesDialog::updateState() {
  const bool ready = !baseline().empty() && !followUps().empty();
  okButton_->setEnabled(ready);
  output_->setText(baseline().empty() ? QString() : local(studyFolderFor(baseline())));
  status_->clear();
}

void CompareStudiesDialog::accept() {
  if (baseline().empty() || followUps().empty()) return;
  for (std::size_t row = 0; row < paths_.size(); ++row) {
    const QString path = paths_[row]->text().trimmed();
    if (!path.isEmpty() && !QFileInfo::exists(path)) {
      status_->setText(
          QStringLiteral("The %1 %2 does not exist.").arg(QLatin1String(kRowNames[row]), path));
      paths_[row]->setFocus();
      return;
    }
  }
  const QString folder = local(studyFolderFor(baseline()));
  if (QFileInfo::exists(QDir(folder).filePath(QStringLiteral("study.txt"))) &&
      QMessageBox::question(
          this, QStringLiteral("Compare Studies"),
          QStringLiteral("%1 holds an earlier study.\nReplace it?").arg(folder)) !=
          QMessageBox::Yes)
    return;
  QDialog::accept();
}

}  // namespace pelk
