#pragma once
#include <QImage>

namespace pelk {

// Explains the progression overlay's colours in a small box in the picture's bottom-left
// corner: a swatch and a word for each kind of lesion.
void drawProgressionLegend(QImage& picture);

}  // namespace pelk
