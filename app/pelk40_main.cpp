// The window: start-up draws "test101.bmp" from the working directory, then the event loop
// runs until the window is closed. Nothing is written at shut-down. Commands run on a worker
// thread; the dialogs they open come back to this one.
#include <QApplication>

#include "gui/main_window.h"
#include "gui/qt_dialogs.h"
#include "gui/qt_printer.h"
#include "workbench/workbench.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  pelk::QtDialogs dialogs;
  pelk::QtPrinter printer(dialogs);
  pelk::Workbench workbench(dialogs, &printer);
  pelk::MainWindow window(workbench);
  window.useDialogs(dialogs);
  window.show();
  return application.exec();
}
