// A solid brush: one colour to fill or frame rectangles with. A brush that holds no colour paints
// nothing.
#pragma once

#include <QBrush>
#include <QColor>

#include "platform/WinTypes.h"

namespace platform {

// The toolkit's colour for a COLORREF (red in the low byte).
inline QColor ToQColor(COLORREF colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace platform

class CBrush {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }

  // False when the brush already holds a colour: delete it first.
  bool CreateSolidBrush(COLORREF colour) {
    if (m_brush.style() != Qt::NoBrush) return false;
    m_brush = QBrush(platform::ToQColor(colour));
    return true;
  }
  // False when there was nothing to delete.
  bool DeleteObject() {
    if (m_brush.style() == Qt::NoBrush) return false;
    m_brush = QBrush();
    return true;
  }

  // The layer's side: the toolkit brush, Qt::NoBrush when none was created.
  const QBrush& GetSafeBrush() const { return m_brush; }

 private:
  QBrush m_brush;
};
