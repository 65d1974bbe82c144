// A rectangular region, selected into a paint context to clip what it draws. A rectangle whose
// right or bottom is not beyond its left or top is an empty region: it lets nothing through.
#pragma once

#include "platform/WinTypes.h"

class CRgn {
 public:
  // False when the region already exists: delete it first.
  bool CreateRectRgn(int left, int top, int right, int bottom) {
    if (m_exists) return false;
    m_rect = RECT{};
    m_rect.left = left;
    m_rect.top = top;
    m_rect.right = right;
    m_rect.bottom = bottom;
    m_exists = true;
    return true;
  }
  // False when there was nothing to delete.
  bool DeleteObject() {
    if (!m_exists) return false;
    m_exists = false;
    return true;
  }

  // The layer's side: the region's rectangle, or null when none was created. Each backend turns
  // it into its own clip region when it paints.
  const RECT* GetSafeRect() const { return m_exists ? &m_rect : nullptr; }

 private:
  RECT m_rect{};
  bool m_exists = false;
};
