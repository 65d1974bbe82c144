#include "platform/DialogUnits.h"

#include <cstdint>

namespace platform {

int MulDiv(int number, int numerator, int denominator) {
  const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  const std::int64_t half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

RECT DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int cx, int cy) {
  RECT rect{};
  rect.left = MulDiv(x, units.averageCharWidth, 4);
  rect.top = MulDiv(y, units.charHeight, 8);
  rect.right = rect.left + MulDiv(cx, units.averageCharWidth, 4);
  rect.bottom = rect.top + MulDiv(cy, units.charHeight, 8);
  return rect;
}

}  // namespace platform
