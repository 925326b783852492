#include "gui/qt_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace pelk {

QString QtDialogs::qtFilter(const std::string& filter) {
  // Descriptions and patterns alternate; the descriptions already carry their patterns.
  QStringList parts = QString::fromStdString(filter).split('|');
  QStringList descriptions;
  for (int i = 0; i < parts.size(); i += 2) descriptions << parts[i];
  return descriptions.join(";;");
}

std::optional<std::string> QtDialogs::openFile(const std::string& filter) {
  QString path = QFileDialog::getOpenFileName(parent_, QString(), QString(), qtFilter(filter));
  if (path.isEmpty()) return std::nullopt;
  return path.toLocal8Bit().toStdString();
}

std::string QtDialogs::inputBox(const std::string& caption, const std::string& prompt,
                                const std::string& initialText) {
  bool ok = false;
  QString text = QInputDialog::getText(parent_, QString::fromLocal8Bit(caption.c_str()),
                                       QString::fromLocal8Bit(prompt.c_str()), QLineEdit::Normal,
                                       QString::fromLocal8Bit(initialText.c_str()), &ok);
  return ok ? text.toLocal8Bit().toStdString() : initialText;
}

void QtDialogs::showError(const std::string& message) {
  QMessageBox::critical(parent_, QStringLiteral("PELK 40"), QString::fromLocal8Bit(message.c_str()));
}

void QtDialogs::showMessage(const std::string& message) {
  QMessageBox::information(parent_, QStringLiteral("PELK 40"), QString::fromLocal8Bit(message.c_str()));
}

}  // namespace pelk
