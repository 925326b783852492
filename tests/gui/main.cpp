// The window's tests run headless, one test object after another in one application.
#include <QApplication>

#include "tests/gui/gui_fixture.h"

namespace pelk::gui_test {
std::vector<std::function<std::unique_ptr<QObject>()>>& testObjectFactories() {
  static std::vector<std::function<std::unique_ptr<QObject>()>> factories;
  return factories;
}
}  // namespace pelk::gui_test

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  int failures = 0;
  for (const auto& make : pelk::gui_test::testObjectFactories()) {
    std::unique_ptr<QObject> tests = make();
    failures += QTest::qExec(tests.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
