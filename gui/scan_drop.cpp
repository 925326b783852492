#include "gui/scan_drop.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace pelk {
namespace {

// The one local file a drop carries, or an empty string.
QString droppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().front();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

void ScanDrop::enable(QLineEdit* field) {
  field->setAcceptDrops(true);
  field->installEventFilter(new ScanDrop(field));
}

bool ScanDrop::eventFilter(QObject* watched, QEvent* event) {
  auto* field = qobject_cast<QLineEdit*>(watched);
  if (!field) return false;
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (droppedFile(drag->mimeData()).isEmpty()) return false;
      if (field->isReadOnly()) {
        drag->ignore();
      } else {
        drag->acceptProposedAction();
      }
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QString path = droppedFile(drop->mimeData());
      if (path.isEmpty()) return false;
      if (field->isReadOnly()) {
        drop->ignore();
        return true;
      }
      field->setText(path);
      drop->acceptProposedAction();
      return true;
    }
    default: return false;
  }
}

}  // namespace pelk
