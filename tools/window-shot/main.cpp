// Developer tool: opens the window in a working folder, plots the standard scan, runs
// "7. Synopsis Cocktail 1" on the given scans and saves a picture of the window, as the README
// shows it.
// Usage: window-shot DIR STD REF OUT.png
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>
#include <filesystem>

#include "gui/workbench_window.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: window-shot DIR STD REF OUT.png\n");
    return 2;
  }
  QString out = QFileInfo(QString::fromLocal8Bit(argv[4])).absoluteFilePath();
  std::filesystem::current_path(argv[1]);
  QApplication application(argc, argv);
  pelk::WorkbenchWindow opened;
  pelk::MainWindow& window = opened.window;
  window.show();
  static_cast<QLineEdit*>(window.control("Edit1"))->setText(QString::fromLocal8Bit(argv[2]));
  static_cast<QLineEdit*>(window.control("Edit2"))->setText(QString::fromLocal8Bit(argv[3]));
  static_cast<QRadioButton*>(window.control("RadioStd"))->setChecked(true);
  // Commands run on a worker thread: each must end before the next is clicked.
  for (const char* button : {"Button2", "Sy"}) {
    QEventLoop commandEnded;
    QObject::connect(&window, &pelk::MainWindow::commandFinished, &commandEnded, &QEventLoop::quit);
    static_cast<QPushButton*>(window.control(button))->click();
    commandEnded.exec();
  }
  application.processEvents();
  return window.grab().save(out) ? 0 : 1;
}
