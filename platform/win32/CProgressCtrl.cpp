#include "platform/CProgressCtrl.h"

#include "platform/Backend.h"
#include "platform/win32/WindowImpl.h"

namespace {

// The system's progress bar announces the control's range and position to a screen reader; its
// painting is the owning CProgressCtrl's.
LRESULT CALLBACK PaintedByOwner(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR /*id*/, DWORD_PTR owner) {
  switch (message) {
    case WM_ERASEBKGND: {
      // Erased to the dialog's face before every paint, as the owner paints only the bar.
      SystemRECT client;
      GetClientRect(hwnd, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_3DFACE));
      return 1;
    }
    case WM_PAINT: {
      // Nothing of an earlier paint survives in the region being painted: it is erased first.
      HRGN update = CreateRectRgn(0, 0, 0, 0);
      if (GetUpdateRgn(hwnd, update, FALSE) != ERROR) InvalidateRgn(hwnd, update, TRUE);
      DeleteObject(update);
      reinterpret_cast<CProgressCtrl*>(owner)->OnPaint();
      return 0;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, PaintedByOwner, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

bool CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&classes);
  if (!platform::win32::CreateChild(*this, PROGRESS_CLASSW, L"", style, 0, rect, parent, id)) {
    return false;
  }
  SetWindowSubclass(platform::win32::HandleOf(*this), PaintedByOwner, 0,
                    reinterpret_cast<DWORD_PTR>(this));
  platform::backend::ProgressChanged(*this);
  return true;
}

// The system's control learns the range and position for a screen reader, and repaints.
void platform::backend::ProgressChanged(CProgressCtrl& control) {
  HWND hwnd = win32::HandleOf(control);
  if (!hwnd) return;
  int lower = 0;
  int upper = 0;
  control.GetRange(lower, upper);
  SendMessageW(hwnd, PBM_SETRANGE32, static_cast<WPARAM>(lower), upper);
  SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(control.GetPos()), 0);
  InvalidateRect(hwnd, nullptr, TRUE);
}
