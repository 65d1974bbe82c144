// The Win32 backend's side of a CWnd: the native window it stands for, and the calls the
// backend's classes share to reach it.
#pragma once

#include "platform/CWnd.h"
#include "platform/win32/System.h"

struct CWnd::Impl {
  HWND hwnd = nullptr;  // null before the window exists and after it is destroyed
  int id = 0;
  bool focusParked = false;  // disabled while it had the focus
};

namespace platform::win32 {

// The native window of `window`; null when it does not exist (yet or any more).
HWND HandleOf(const CWnd& window);

// Makes `hwnd` the window of `window` with control id `id`, so that GetDlgItem and FromHandle
// find `window` from it. A window attached this way is destroyed with the object, unless its
// parent destroyed it first.
void Attach(CWnd& window, HWND hwnd, int id);

// Forgets the CWnd of `hwnd`, before the window goes.
void Detach(HWND hwnd);

// The CWnd attached to `hwnd`, or null.
CWnd* FromHandle(HWND hwnd);

// The font of the dialog that `hwnd` belongs to (the template's font), or null for the system's.
HFONT DialogFontOf(HWND hwnd);

// Creates a child control of the window class `windowClass` in `parent`'s client area, in the
// dialog's font, at the end of the tab order, and attaches it to `control`. False when the parent
// has no window or the system refuses.
bool CreateChild(CWnd& control, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                 DWORD exStyle, const RECT& rect, CWnd* parent, UINT id);

}  // namespace platform::win32
