#include "DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>
#include <cstdint>

namespace platform {

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
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
