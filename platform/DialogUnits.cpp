#include "DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>
#include <cstdint>

namespace platform {

// Measured at the screen's resolution, which widgets paint at. On Wayland the application font
// is made before the screen is known and keeps the resolution of that moment: measured as it
// is, it comes out a pixel larger than it paints (height 15 for 14), and dialogs grow with it.
DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font, nullptr);
  const int alphabetWidth = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(alphabetWidth / 26 + 1) / 2, metrics.height()};
}

QFont DialogFont() { return QApplication::font(); }

int MulDiv(int number, int numerator, int denominator) {
  const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  const std::int64_t half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int cx, int cy) {
  return QRect(MulDiv(x, units.averageCharWidth, 4), MulDiv(y, units.charHeight, 8),
               MulDiv(cx, units.averageCharWidth, 4), MulDiv(cy, units.charHeight, 8));
}

}  // namespace platform
