// Opens the window as pelk40 does and ends as soon as it has painted once: run as a process, its
// whole time is the window's time to first paint. Prints the time from main() to that paint, so
// the rest of the whole time is loading and starting the program.
// Usage (from a folder holding test101.bmp): pelk40-window-startup
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>

#include "gui/workbench_window.h"

namespace {

class FirstPaint : public QObject {
 public:
  explicit FirstPaint(const QElapsedTimer& clock) : clock_(clock) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      // After the paint itself, not inside it.
      QTimer::singleShot(0, [this] {
        std::printf("first paint %.1f ms after main()\n", clock_.nsecsElapsed() / 1e6);
        QApplication::quit();
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  const QElapsedTimer& clock_;
  bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  QApplication application(argc, argv);
  pelk::WorkbenchWindow opened;
  FirstPaint probe(clock);
  opened.window.installEventFilter(&probe);
  opened.window.show();
  return application.exec();
}
