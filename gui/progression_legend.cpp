#include "gui/progression_legend.h"

#include <QPainter>

#include "progression/progression_picture.h"

namespace pelk {
namespace {

QColor fromView(std::uint32_t bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

}  // namespace

void drawProgressionLegend(QImage& picture) {
  struct Entry {
    std::uint32_t colour;
    const char* text;
  };
  static constexpr Entry kEntries[] = {{kGrowthColour, "new in follow-up 2"},
                                       {kShrinkageColour, "only in follow-up 1"},
                                       {kPersistentColour, "in both follow-ups"}};
  constexpr int kRow = 13;
  constexpr int kSwatch = 9;
  QPainter painter(&picture);
  QFont font = painter.font();
  font.setPixelSize(10);
  painter.setFont(font);
  const int width =
      painter.fontMetrics().horizontalAdvance(QStringLiteral("only in follow-up 1")) + kSwatch + 12;
  const int height = kRow * 3 + 4;
  const QRect box(2, picture.height() - height - 2, width, height);
  painter.fillRect(box, QColor(255, 255, 255, 220));
  painter.setPen(Qt::black);
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  for (int i = 0; i < 3; ++i) {
    const int top = box.top() + 3 + i * kRow;
    painter.fillRect(QRect(box.left() + 4, top + 2, kSwatch, kSwatch),
                     fromView(kEntries[i].colour));
    painter.drawText(QRect(box.left() + 8 + kSwatch, top, width, kRow),
                     Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(kEntries[i].text));
  }
}

}  // namespace pelk
