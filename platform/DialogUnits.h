// Dialog units to pixels, as the platform defines them: horizontal units are a quarter of the
// dialog font's average character width, vertical units an eighth of its height. The backend
// measures its dialog font; the arithmetic is the same everywhere.
#pragma once

#include "platform/WinTypes.h"

namespace platform {

struct DialogBaseUnits {
  int averageCharWidth;
  int charHeight;
};

// number * numerator / denominator, rounded half away from zero.
int MulDiv(int number, int numerator, int denominator);

// The rectangle of an item placed at (x, y) with size (cx, cy) in dialog units: each of the four
// is converted on its own, so right is left plus the converted width.
RECT DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int cx, int cy);

}  // namespace platform
