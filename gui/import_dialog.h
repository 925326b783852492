#pragma once
#include <QDialog>
#include <memory>
#include <optional>

#include "importers/intensity_window.h"
#include "importers/scan_import.h"
#include "importers/scan_volume.h"
#include "workbench/workbench.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QDoubleSpinBox;

namespace pelk {

// The bitmap a slice is imported to: "<source>-s<N>.bmp" in `folder`, <source> being the file's
// name without its extension (both of ".nii.gz").
QString importOutputName(const QString& folder, const QString& source, long long slice);

// "Import scan…" in one box: the scan file, the slice with a live preview of it, the field it
// goes into and the grey window. Wrong input is corrected in place; nothing is imported until
// OK, and OK asks before it replaces an existing bitmap.
class ImportDialog : public QDialog {
  Q_OBJECT

 public:
  // `folder` is where the bitmap goes (the working folder).
  ImportDialog(const QString& folder, QWidget* parent = nullptr);

  // Reads the scan and offers its slices; on failure says why in the box and returns false.
  bool openScan(const QString& path);

  // What to import, once accepted.
  std::shared_ptr<const ScanVolume> volume() const { return volume_; }
  ImportRequest request() const;
  ScanField field() const;

  void accept() override;

 private:
  void browse();
  void updatePreview();
  std::optional<IntensityWindow> chosenWindow() const;

  QString folder_;
  QString source_;
  std::shared_ptr<const ScanVolume> volume_;
  IntensityWindow automaticWindow_;
  QLineEdit* path_ = nullptr;
  QLabel* status_ = nullptr;
  QSpinBox* slice_ = nullptr;
  QLabel* count_ = nullptr;
  QLabel* preview_ = nullptr;
  QComboBox* field_ = nullptr;
  QRadioButton* automatic_ = nullptr;
  QDoubleSpinBox* level_ = nullptr;
  QDoubleSpinBox* width_ = nullptr;
  QLabel* output_ = nullptr;
  QPushButton* okButton_ = nullptr;
};

}  // namespace pelk
