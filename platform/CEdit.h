// An edit box created at run time: one line, any characters, not in the tab order.
#pragma once

#include "CWnd.h"

class CEdit : public CWnd {
 public:
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
};
