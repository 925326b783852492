// The window: start-up draws "test101.bmp" from the working directory, then the event loop
// runs until the window is closed. Nothing is written at shut-down. Commands run on a worker
// thread; the dialogs they open come back to this one.
#include <QApplication>

#include "common/large_page_heap.h"
#include "gui/workbench_window.h"

int main(int argc, char** argv) {
  pelk::keepFreedMemory();
  QApplication application(argc, argv);
  pelk::WorkbenchWindow opened;
  opened.window.show();
  return application.exec();
}
