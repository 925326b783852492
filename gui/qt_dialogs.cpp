#include "gui/qt_dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QThread>

namespace pelk {
namespace {

QString local(const std::string& s) {
  return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

// Runs `show` on the window's thread and hands back its result; widgets live only there.
template <typename Show>
auto onWindowThread(Show show) -> decltype(show()) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread()) return show();
  decltype(show()) result{};
  QMetaObject::invokeMethod(
      app, [&] { result = show(); }, Qt::BlockingQueuedConnection);
  return result;
}

}  // namespace

QString QtDialogs::qtFilter(const std::string& filter) {
  // Descriptions and patterns alternate; the descriptions already carry their patterns.
  QStringList parts = QString::fromStdString(filter).split('|');
  QStringList descriptions;
  for (int i = 0; i < parts.size(); i += 2) descriptions << parts[i];
  return descriptions.join(";;");
}

std::optional<std::string> QtDialogs::openFile(const std::string& filter) {
  return onWindowThread([&]() -> std::optional<std::string> {
    QString path = QFileDialog::getOpenFileName(parent_, QString(), QString(), qtFilter(filter));
    if (path.isEmpty()) return std::nullopt;
    return path.toLocal8Bit().toStdString();
  });
}

std::string QtDialogs::inputBox(const std::string& caption, const std::string& prompt,
                                const std::string& initialText) {
  return onWindowThread([&] {
    // A window manager cuts long titles short, so the question is asked inside the box too.
    const QString question =
        prompt.empty() ? local(caption) : local(caption) + "\n" + local(prompt);
    bool ok = false;
    QString text = QInputDialog::getText(parent_, local(caption), question, QLineEdit::Normal,
                                         local(initialText), &ok);
    return ok ? text.toLocal8Bit().toStdString() : initialText;
  });
}

void QtDialogs::showError(const std::string& message) {
  onWindowThread([&] {
    QString text = local(message);
    if (errorNotes_) {
      const QString notes = errorNotes_(message);
      if (!notes.isEmpty()) text += "\n\n" + notes;
    }
    QMessageBox::critical(parent_, QStringLiteral("PELK 40"), text);
    return 0;
  });
}

void QtDialogs::showMessage(const std::string& message) {
  onWindowThread([&] {
    QMessageBox::information(parent_, QStringLiteral("PELK 40"), local(message));
    return 0;
  });
}

}  // namespace pelk
