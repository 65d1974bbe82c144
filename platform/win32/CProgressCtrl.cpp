#include "platform/CProgressCtrl.h"

#include <commctrl.h>

#include <cstdint>

#include "platform/CDC.h"
#include "platform/win32/WindowImpl.h"

namespace {

// The system's progress bar keeps the range and position (held within the range) and announces
// them to a screen reader; its painting is the owning CProgressCtrl's.
LRESULT CALLBACK PaintedByOwner(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR /*id*/, DWORD_PTR owner) {
  switch (message) {
    case WM_ERASEBKGND: {
      // Erased to the dialog's face before every paint, as the owner paints only the bar.
      RECT client;
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
  HWND hwnd = platform::win32::HandleOf(*this);
  SendMessageW(hwnd, PBM_SETRANGE32, 0, 100);
  SetWindowSubclass(hwnd, PaintedByOwner, 0, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

LRESULT CProgressCtrl::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = platform::win32::HandleOf(*this);
  return hwnd ? SendMessageW(hwnd, message, wParam, lParam) : 0;
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
  PBRANGE range{};
  if (HWND hwnd = platform::win32::HandleOf(*this)) {
    SendMessageW(hwnd, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  }
  lower = range.iLow;
  upper = range.iHigh;
}

void CProgressCtrl::OnPaint() {
  CPaintDC dc(this);
  int lower = 0;
  int upper = 0;
  GetRange(lower, upper);
  if (upper == lower) return;
  RECT filled;
  GetClientRect(&filled);
  const std::int64_t done = std::int64_t{static_cast<int>(SendMessage(PBM_GETPOS, 0, 0))} - lower;
  filled.right = static_cast<LONG>(filled.right * done / (std::int64_t{upper} - lower));
  dc.FillSolidRect(&filled, RGB(0, 120, 215));
}
