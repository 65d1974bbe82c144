// A progress bar control: a range, a position always held within it, and a window text. It
// repaints itself when its position or range changes; its painting is OnPaint, which a subclass
// replaces (the base draws a plain bar).
#pragma once

#include "platform/CWnd.h"

class CProgressCtrl : public CWnd {
 public:
  // A child of the parent's client area; shown when the style has WS_VISIBLE. The range starts
  // as 0..100 and the position at 0.
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // PBM_SETRANGE32: lower in wParam, upper in lParam; returns the previous range as two 16-bit
  // halves (lower low). PBM_SETPOS: the position in wParam; returns the previous one. PBM_GETPOS.
  // Anything else, or no window, returns 0.
  LRESULT SendMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void GetRange(int& lower, int& upper) const;

  // Called from the window's paint event.
  virtual void OnPaint();
};
