// A progress bar control: a range, a position always held within it, and a window text. It
// repaints itself when its position or range changes; its painting is OnPaint, which a subclass
// replaces (the base draws a plain bar).
#pragma once

#include "platform/CWnd.h"

class CProgressCtrl : public CWnd {
 public:
  // A child of the parent's client area; shown when the style has WS_VISIBLE.
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // The range starts as 0..100; `upper` may be below `lower`. The position is held within it.
  void SetRange(int lower, int upper);
  void GetRange(int& lower, int& upper) const;
  // Returns the previous position. The position starts at 0.
  int SetPos(int position);
  int GetPos() const;

  // Called from the window's paint event.
  virtual void OnPaint();

 private:
  int m_lower = 0;
  int m_upper = 100;
  int m_position = 0;
};
