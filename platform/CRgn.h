// A rectangular region, selected into a paint context to clip what it draws. A rectangle whose
// right or bottom is not beyond its left or top is an empty region: it lets nothing through.
#pragma once

#include <QRect>
#include <QRegion>
#include <optional>

#include "platform/WinTypes.h"

// What SelectClipRgn reports about the clip region it leaves selected.
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;

class CRgn {
 public:
  // False when the region already exists: delete it first.
  bool CreateRectRgn(int left, int top, int right, int bottom) {
    if (m_region) return false;
    m_region = QRegion(QRect(left, top, right - left, bottom - top));
    return true;
  }
  // False when there was nothing to delete.
  bool DeleteObject() {
    if (!m_region) return false;
    m_region.reset();
    return true;
  }

  // The layer's side: the toolkit region, or null when none was created.
  const QRegion* GetSafeRegion() const { return m_region ? &*m_region : nullptr; }

 private:
  std::optional<QRegion> m_region;
};
