#pragma once
#include <QDialog>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "store/result_store.h"

class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

namespace pelk {

// "Results → History…": the store's runs in a table (filtered by patient, sorted by any
// column); choosing a run shows everything stored of it, and "Use these scans" closes the
// dialog with its standard, reference and third scan.
class HistoryDialog : public QDialog {
  Q_OBJECT

 public:
  HistoryDialog(const StoreLocation& where, QWidget* parent = nullptr);

  // The scans of the run chosen with "Use these scans".
  const std::optional<std::array<std::string, 3>>& chosenScans() const { return chosen_; }

 private:
  void reload();
  void showChosenRun();
  std::optional<std::int64_t> selectedRun() const;

  std::unique_ptr<ResultStore> store_;
  std::vector<RunSummary> runs_;
  QLineEdit* patient_ = nullptr;
  QTableWidget* table_ = nullptr;
  QPlainTextEdit* details_ = nullptr;
  std::optional<std::array<std::string, 3>> chosen_;
};

}  // namespace pelk
