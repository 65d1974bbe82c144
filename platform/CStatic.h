// A static text control created at run time.
#pragma once

#include "platform/CWnd.h"

class CStatic : public CWnd {
 public:
  bool Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
};
