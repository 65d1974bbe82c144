#include "platform/qt/DialogLook.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleFactory>

namespace platform::qt {

// Measured at the screen's resolution, which widgets paint at. On Wayland the application font
// is made before the screen is known and keeps the resolution of that moment: measured as it
// is, it comes out a pixel larger than it paints (height 15 for 14), and dialogs grow with it.
DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font, nullptr);
  const int alphabetWidth = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(alphabetWidth / 26 + 1) / 2, metrics.height()};
}

QFont DialogFont() {
  constexpr int kDialogFontPixels = 12;
  QFont font(QStringLiteral("Sans Serif"));
  font.setPixelSize(kDialogFontPixels);
  return font;
}

// The toolkit's own style draws the classic face.
namespace {
constexpr const char* kClassicStyle = "Fusion";
}

// Built here, not asked of the style: under a desktop theme the style hands out the theme's
// palette. These are the toolkit style's own light colours, which a desktop without a theme shows.
QPalette ClassicPalette() {
  const QColor face(239, 239, 239);
  const QColor dark = face.darker(150);
  const QColor mid = face.darker(130);
  const QColor shadow = dark.darker(135);
  QPalette palette(Qt::black, face, face.lighter(150), dark, mid, Qt::black, Qt::white);
  palette.setBrush(QPalette::Midlight, mid.lighter(110));
  palette.setBrush(QPalette::Button, face);
  palette.setBrush(QPalette::Shadow, shadow);
  palette.setBrush(QPalette::HighlightedText, Qt::white);
  const QColor disabledText(190, 190, 190);
  palette.setBrush(QPalette::Disabled, QPalette::Text, disabledText);
  palette.setBrush(QPalette::Disabled, QPalette::WindowText, disabledText);
  palette.setBrush(QPalette::Disabled, QPalette::ButtonText, disabledText);
  palette.setBrush(QPalette::Disabled, QPalette::Base, face);
  palette.setBrush(QPalette::Disabled, QPalette::Dark, QColor(209, 209, 209).darker(110));
  palette.setBrush(QPalette::Disabled, QPalette::Shadow, shadow.lighter(150));
  palette.setBrush(QPalette::Active, QPalette::Highlight, QColor(48, 140, 198));
  palette.setBrush(QPalette::Inactive, QPalette::Highlight, QColor(48, 140, 198));
  palette.setBrush(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
  QColor placeholder(Qt::black);
  placeholder.setAlpha(128);
  palette.setBrush(QPalette::PlaceholderText, placeholder);
  return palette;
}

void UseClassicLook() {
  if (QStyle* style = QStyleFactory::create(kClassicStyle)) QApplication::setStyle(style);
  QApplication::setPalette(ClassicPalette());
}

}  // namespace platform::qt
