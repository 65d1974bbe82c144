// Dialog units to pixels, as the platform defines them: horizontal units are a quarter of the
// dialog font's average character width, vertical units an eighth of its height.
#pragma once

#include <QFont>
#include <QRect>

namespace platform {

struct DialogBaseUnits {
  int averageCharWidth;
  int charHeight;
};

DialogBaseUnits BaseUnitsOf(const QFont& font);

// The dialog font: the toolkit's default font (the template font's face is not on this system).
QFont DialogFont();

// number * numerator / denominator, rounded half away from zero.
int MulDiv(int number, int numerator, int denominator);

QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int cx, int cy);

}  // namespace platform
