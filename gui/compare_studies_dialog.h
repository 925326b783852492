#pragma once
#include <QDialog>
#include <array>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace pelk {

// "Compare studies…" in one box: the baseline and one or two follow-ups, each a NIfTI or DICOM
// file or a DICOM series folder, and the folder the study will be written to. Nothing runs until
// OK, which checks that every study named exists and asks before it replaces an earlier study.
class CompareStudiesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CompareStudiesDialog(QWidget* parent = nullptr);

  // Fills a row as if typed: 0 the baseline, 1 and 2 the follow-ups.
  void setStudy(int row, const QString& path);

  // The choices, once accepted: the follow-ups in their order, an empty row left out.
  std::string baseline() const;
  std::vector<std::string> followUps() const;

  void accept() override;

 private:
  void addStudyRow(int row, const QString& label, const QString& objectName);
  void browseFile(int row);
  void browseFolder(int row);
  void updateState();

  std::array<QLineEdit*, 3> paths_{};
  QLabel* output_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* okButton_ = nullptr;
};

}  // namespace pelk
