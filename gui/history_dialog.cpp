#include "gui/history_dialog.h"

#include <filesystem>

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "store/history_format.h"

namespace pelk {
namespace {

// A cell that sorts by number when its text is one (run ids, results), else by text.
QTableWidgetItem* cell(const std::string& text) {
  auto* item = new QTableWidgetItem;
  bool isNumber = false;
  double value = QString::fromStdString(text).toDouble(&isNumber);
  if (isNumber) item->setData(Qt::DisplayRole, value);
  else item->setText(QString::fromStdString(text));
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  return item;
}

}  // namespace

HistoryDialog::HistoryDialog(const StoreLocation& where, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("History – ") + QString::fromStdString(shownStoreName(where.url)));
  resize(1100, 640);
  auto* layout = new QVBoxLayout(this);
  auto* filter = new QHBoxLayout;
  filter->addWidget(new QLabel(QStringLiteral("Patient:")));
  patient_ = new QLineEdit;
  patient_->setObjectName(QStringLiteral("patientFilter"));
  patient_->setPlaceholderText(QStringLiteral("all patients"));
  filter->addWidget(patient_);
  layout->addLayout(filter);

  auto* split = new QSplitter(Qt::Vertical);
  table_ = new QTableWidget;
  table_->setObjectName(QStringLiteral("runs"));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->hide();
  QStringList headers;
  for (const HistoryColumn& c : historyTableColumns()) headers << QString::fromUtf8(c.header);
  table_->setColumnCount(static_cast<int>(headers.size()));
  table_->setHorizontalHeaderLabels(headers);
  details_ = new QPlainTextEdit;
  details_->setObjectName(QStringLiteral("details"));
  details_->setReadOnly(true);
  QFont fixed(QStringLiteral("DejaVu Sans Mono"));
  fixed.setStyleHint(QFont::Monospace);
  details_->setFont(fixed);
  split->addWidget(table_);
  split->addWidget(details_);
  layout->addWidget(split);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  QPushButton* use =
      buttons->addButton(QStringLiteral("Use these scans"), QDialogButtonBox::AcceptRole);
  use->setObjectName(QStringLiteral("useScans"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(use, &QPushButton::clicked, this, [this] {
    auto id = selectedRun();
    if (!id) return;
    for (const RunSummary& r : runs_) {
      if (r.id != *id) continue;
      chosen_ = std::array<std::string, 3>{r.standard, r.reference, r.third};
      // A study's scans are volumes: the fields get its matched slices instead.
      if (r.study) {
        const std::filesystem::path folder(r.study->folder);
        chosen_ = std::array<std::string, 3>{
            (folder / "std.bmp").string(), (folder / "ref.bmp").string(),
            r.study->burden2Mm3 ? (folder / "third.bmp").string() : std::string()};
      }
    }
    accept();
  });
  connect(patient_, &QLineEdit::textChanged, this, [this] { reload(); });
  connect(table_, &QTableWidget::itemSelectionChanged, this, [this] { showChosenRun(); });

  try {
    store_ = ResultStore::open(where, false);
  } catch (const StoreError& e) {
    details_->setPlainText(QString::fromStdString(e.what()));
    patient_->setEnabled(false);
    use->setEnabled(false);
    return;
  }
  reload();
}

void HistoryDialog::reload() {
  if (!store_) return;
  HistoryQuery query;
  if (!patient_->text().isEmpty()) query.patient = patient_->text().toStdString();
  try {
    runs_ = store_->history(query);
  } catch (const StoreError& e) {
    runs_.clear();
    details_->setPlainText(QString::fromStdString(e.what()));
  }
  table_->setSortingEnabled(false);  // rows are filled in place; sorting resumes after
  table_->clearContents();
  table_->setRowCount(static_cast<int>(runs_.size()));
  const auto& columns = historyTableColumns();
  for (int row = 0; row < static_cast<int>(runs_.size()); ++row)
    for (int col = 0; col < static_cast<int>(columns.size()); ++col)
      table_->setItem(
          row, col,
          cell(columns[static_cast<std::size_t>(col)].value(runs_[static_cast<std::size_t>(row)])));
  table_->setSortingEnabled(true);
  table_->resizeColumnsToContents();
}

std::optional<std::int64_t> HistoryDialog::selectedRun() const {
  auto rows = table_->selectionModel()->selectedRows();
  if (rows.isEmpty()) return std::nullopt;
  return static_cast<std::int64_t>(
      table_->item(rows.first().row(), 0)->data(Qt::DisplayRole).toLongLong());
}

void HistoryDialog::showChosenRun() {
  auto id = selectedRun();
  if (!id || !store_) return;
  try {
    details_->setPlainText(QString::fromStdString(describeRun(store_->run(*id))));
  } catch (const StoreError& e) {
    details_->setPlainText(QString::fromStdString(e.what()));
  }
}

}  // namespace pelk
