// A solid brush: one colour to fill or frame rectangles with, given when it is made. Once deleted
// it holds no colour and paints nothing.
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
  explicit CBrush(COLORREF colour) : m_brush(platform::ToQColor(colour)) {}

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
