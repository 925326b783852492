#pragma once
#include "gui/history_recorder.h"
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
  RecordingDialogs recordingDialogs{dialogs};
  QtPrinter printer{dialogs};
  Workbench workbench{recordingDialogs, &printer};
  MainWindow window{workbench};
  // Every command is recorded in the results store; "Results → History…" reads it back.
  WindowHistory history{window, workbench, recordingDialogs};

  WorkbenchWindow() { window.useDialogs(dialogs); }
};

}  // namespace pelk
