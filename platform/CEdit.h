// An edit box created at run time: one line, any characters, in the tab order with WS_TABSTOP, no
// sideways scrolling (typing stops when the box is full). The static text created just before it
// is its name for a screen reader.
#pragma once

#include "platform/CWnd.h"

class CEdit : public CWnd {
 public:
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
};
