#include "gui/import_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <algorithm>
#include <climits>
#include <exception>

#include "importers/grey_slice.h"
#include "importers/nominal_resample.h"
#include "importers/radiological_layout.h"
#include "importers/scan_import.h"
#include "importers/scan_reader.h"
#include "studies/scan_or_series.h"

namespace pelk {
namespace {

constexpr int kPreviewSide = 256;

QString sourceStem(const QString& source) {
  // A series folder is named by the folder itself, a trailing slash or not.
  if (QFileInfo(source).isDir()) return QDir(QDir::cleanPath(source)).dirName();
  const QString name = QFileInfo(source).fileName();
  if (name.endsWith(QStringLiteral(".nii.gz"), Qt::CaseInsensitive)) return name.chopped(7);
  const QString stem = QFileInfo(source).completeBaseName();
  return stem.isEmpty() ? name : stem;
}

std::string local(const QString& s) { return s.toLocal8Bit().toStdString(); }

}  // namespace

QString importOutputName(const QString& folder, const QString& source, long long slice) {
  return QDir(folder).filePath(sourceStem(source) + "-s" + QString::number(slice) + ".bmp");
}

ImportDialog::ImportDialog(const QString& folder, QWidget* parent)
    : QDialog(parent), folder_(folder) {
  setWindowTitle(QStringLiteral("Import Scan"));
  auto* form = new QFormLayout(this);

  auto* fileRow = new QHBoxLayout;
  path_ = new QLineEdit(this);
  path_->setObjectName(QStringLiteral("ImportSource"));
  path_->setPlaceholderText(
      QStringLiteral("A DICOM file or series folder, or a NIfTI volume (.nii, .nii.gz)"));
  auto* browse = new QPushButton(QStringLiteral("Browse…"), this);
  auto* folderButton = new QPushButton(QStringLiteral("Folder…"), this);
  folderButton->setObjectName(QStringLiteral("ImportFolder"));
  fileRow->addWidget(path_);
  fileRow->addWidget(browse);
  fileRow->addWidget(folderButton);
  form->addRow(QStringLiteral("Scan file or folder:"), fileRow);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("ImportStatus"));
  status_->setWordWrap(true);
  form->addRow(status_);

  auto* sliceRow = new QHBoxLayout;
  slice_ = new QSpinBox(this);
  slice_->setObjectName(QStringLiteral("ImportSlice"));
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("ImportSliceCount"));
  sliceRow->addWidget(slice_);
  sliceRow->addWidget(count_, 1);
  form->addRow(QStringLiteral("Slice:"), sliceRow);
  preview_ = new QLabel(this);
  preview_->setObjectName(QStringLiteral("ImportPreview"));
  preview_->setFixedSize(kPreviewSide, kPreviewSide);
  preview_->setAlignment(Qt::AlignCenter);
  form->addRow(preview_);

  field_ = new QComboBox(this);
  field_->setObjectName(QStringLiteral("ImportField"));
  field_->addItems({QStringLiteral("Standard scan (Std)"), QStringLiteral("Reference scan (Ref)"),
                    QStringLiteral("Third scan (Out/Ref 3)")});
  form->addRow(QStringLiteral("Use it as:"), field_);

  auto* windowRow = new QHBoxLayout;
  automatic_ = new QRadioButton(QStringLiteral("Automatic"), this);
  automatic_->setObjectName(QStringLiteral("ImportAutomaticWindow"));
  automatic_->setChecked(true);
  auto* typed = new QRadioButton(QStringLiteral("Level / width:"), this);
  level_ = new QDoubleSpinBox(this);
  level_->setObjectName(QStringLiteral("ImportLevel"));
  width_ = new QDoubleSpinBox(this);
  width_->setObjectName(QStringLiteral("ImportWidth"));
  for (QDoubleSpinBox* box : {level_, width_}) {
    box->setDecimals(1);
    box->setRange(-1e6, 1e6);
    box->setEnabled(false);
  }
  width_->setMinimum(1.0);  // the narrowest window the display standard defines
  windowRow->addWidget(automatic_);
  windowRow->addWidget(typed);
  windowRow->addWidget(level_);
  windowRow->addWidget(width_);
  form->addRow(QStringLiteral("Grey window:"), windowRow);

  output_ = new QLabel(this);
  output_->setObjectName(QStringLiteral("ImportOutput"));
  form->addRow(QStringLiteral("Writes:"), output_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
  form->addRow(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &ImportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(browse, &QPushButton::clicked, this, &ImportDialog::browse);
  connect(folderButton, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Import a DICOM series folder"), QString());
    if (!path.isEmpty()) openScan(path);
  });
  connect(path_, &QLineEdit::editingFinished, this, [this] {
    if (path_->text() != source_) openScan(path_->text());
  });
  connect(slice_, &QSpinBox::valueChanged, this, &ImportDialog::updatePreview);
  connect(automatic_, &QRadioButton::toggled, this, [this](bool automatic) {
    level_->setEnabled(!automatic);
    width_->setEnabled(!automatic);
    updatePreview();
  });
  connect(level_, &QDoubleSpinBox::valueChanged, this, &ImportDialog::updatePreview);
  connect(width_, &QDoubleSpinBox::valueChanged, this, &ImportDialog::updatePreview);
  okButton_ = buttons->button(QDialogButtonBox::Ok);
}

void ImportDialog::browse() {
  const QString path = QFileDialog::getOpenFileName(
      this, QStringLiteral("Import Scan"), QString(),
      QStringLiteral("Scans (*.dcm *.nii *.nii.gz *.ima);;All files (*)"));
  if (!path.isEmpty()) openScan(path);
}

bool ImportDialog::openScan(const QString& path) {
  path_->setText(path);
  source_ = path;
  volume_.reset();
  try {
    auto volume = std::make_shared<ScanVolume>(readScanOrSeries(local(path)));
    automaticWindow_ = volume->ownWindow ? *volume->ownWindow : robustWindow(volume->values);
    volume_ = std::move(volume);
  } catch (const std::exception& e) {
    status_->setText(QString::fromLocal8Bit(e.what()));
    count_->clear();
    preview_->clear();
    output_->clear();
    okButton_->setEnabled(false);
    return false;
  }
  const long long count = volume_->sliceCount();
  status_->setText(QString::fromStdString(volume_->format));
  count_->setText(QStringLiteral("of 0–%1 (%2 slices)").arg(count - 1).arg(count));
  // A typed level and width start from the automatic window, which the user then adjusts.
  const QSignalBlocker blockLevel(level_), blockWidth(width_), blockSlice(slice_);
  level_->setValue((automaticWindow_.low + automaticWindow_.high) / 2.0);
  width_->setValue(std::max(1.0, automaticWindow_.high - automaticWindow_.low));
  slice_->setRange(0, static_cast<int>(std::min<long long>(count - 1, INT_MAX)));
  slice_->setValue(static_cast<int>(count / 2));
  okButton_->setEnabled(true);
  updatePreview();
  return true;
}

std::optional<IntensityWindow> ImportDialog::chosenWindow() const {
  if (automatic_->isChecked()) return std::nullopt;
  return windowFromCentreWidth(level_->value(), width_->value());
}

void ImportDialog::updatePreview() {
  if (!volume_) return;
  output_->setText(importOutputName(folder_, source_, slice_->value()));
  try {
    const SliceLayout layout = radiologicalLayout(volume_->axes, volume_->sliceAxis);
    const GreySlice slice =
        greySlice(*volume_, slice_->value(), layout, chosenWindow().value_or(automaticWindow_));
    const NominalPicture picture = fitToNominal(slice);
    QImage image(picture.pixels.data(), kNominalSide, kNominalSide, kNominalSide,
                 QImage::Format_Grayscale8);
    preview_->setPixmap(QPixmap::fromImage(
        image.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  } catch (const std::exception& e) {
    preview_->clear();
    status_->setText(QString::fromLocal8Bit(e.what()));
  }
}

ImportRequest ImportDialog::request() const {
  return ImportRequest{local(source_), local(importOutputName(folder_, source_, slice_->value())),
                       slice_->value(), chosenWindow()};
}

ScanField ImportDialog::field() const {
  switch (field_->currentIndex()) {
    case 1: return ScanField::Reference;
    case 2: return ScanField::Third;
    default: return ScanField::Standard;
  }
}

void ImportDialog::accept() {
  if (!volume_) return;
  const QString output = importOutputName(folder_, source_, slice_->value());
  if (QFileInfo::exists(output) &&
      QMessageBox::question(this, QStringLiteral("Import Scan"),
                            QStringLiteral("%1 already exists.\nReplace it?").arg(output)) !=
          QMessageBox::Yes)
    return;
  QDialog::accept();
}

}  // namespace pelk
