// The window: start-up draws "test101.bmp" from the working directory, then the event loop
// runs until the window is closed. Nothing is written at shut-down.
#include <QApplication>

#include "gui/history_recorder.h"
#include "gui/main_window.h"
#include "gui/qt_dialogs.h"
#include "gui/qt_printer.h"
#include "workbench/workbench.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  pelk::QtDialogs dialogs;
  pelk::RecordingDialogs recordingDialogs(dialogs);
  pelk::QtPrinter printer(dialogs);
  pelk::Workbench workbench(recordingDialogs, &printer);
  pelk::MainWindow window(workbench);
  dialogs.setParentWidget(&window);
  // Every command is recorded in the results store; "Results → History…" reads it back.
  pelk::WindowHistory history(window, workbench, recordingDialogs);
  window.show();
  return application.exec();
}
