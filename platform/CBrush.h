// A solid brush: one colour to fill or frame rectangles with, given when it is made. Once deleted
// it holds no colour and paints nothing.
#pragma once

#include "platform/WinTypes.h"

class CBrush {
 public:
  explicit CBrush(COLORREF colour) : m_colour(colour) {}

  // False when there was nothing to delete.
  bool DeleteObject() {
    if (!m_exists) return false;
    m_exists = false;
    return true;
  }

  // The layer's side: the colour, or null once the brush is deleted. Each backend turns it into
  // its own brush when it paints.
  const COLORREF* GetSafeColour() const { return m_exists ? &m_colour : nullptr; }

 private:
  COLORREF m_colour;
  bool m_exists = true;
};
