#pragma once
#include "gui/main_window.h"
#include "gui/qt_dialogs.h"
#include "gui/qt_printer.h"
#include "workbench/workbench.h"

namespace pelk {

// The window as pelk40 opens it: its dialogs, printer and workbench owned together, the dialogs
// parented to the window. Start-up (drawing "test101.bmp") runs here; showing it is the caller's.
// Needs a QApplication.
struct WorkbenchWindow {
  QtDialogs dialogs;
  QtPrinter printer{dialogs};
  Workbench workbench{dialogs, &printer};
  MainWindow window{workbench};

  WorkbenchWindow() { dialogs.setParentWidget(&window); }
};

}  // namespace pelk
