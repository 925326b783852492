#pragma once
#include <QObject>

class QLineEdit;

namespace pelk {

// Lets a scan file dragged from the file manager fill a scan field: the field takes the file's
// local path in place of its text. Anything else dropped (several files, a web address, plain
// text) is left to the field's own handling; a read-only field takes nothing.
class ScanDrop : public QObject {
  Q_OBJECT

 public:
  // Installs itself on `field` as a child of it.
  static void enable(QLineEdit* field);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using QObject::QObject;
};

}  // namespace pelk
