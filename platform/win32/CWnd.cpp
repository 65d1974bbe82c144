#include "platform/CWnd.h"

#include <algorithm>
#include <string>

#include "platform/win32/Dpi.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowImpl.h"

namespace platform::win32 {

namespace {
// The window property that names a window's CWnd.
constexpr const wchar_t* kOwnerProperty = L"platform.cwnd";
}  // namespace

HWND HandleOf(const CWnd& window) {
  HWND hwnd = window.GetImpl().hwnd;
  return hwnd && IsWindow(hwnd) && FromHandle(hwnd) == &window ? hwnd : nullptr;
}

void Attach(CWnd& window, HWND hwnd, int id) {
  window.GetImpl().hwnd = hwnd;
  window.GetImpl().id = id;
  SetPropW(hwnd, kOwnerProperty, &window);
}

void Detach(HWND hwnd) { RemovePropW(hwnd, kOwnerProperty); }

CWnd* FromHandle(HWND hwnd) {
  return hwnd ? static_cast<CWnd*>(GetPropW(hwnd, kOwnerProperty)) : nullptr;
}

HFONT DialogFontOf(HWND hwnd) {
  HWND dialog = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
  return dialog ? reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)) : nullptr;
}

bool CreateChild(CWnd& control, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                 DWORD exStyle, const RECT& rect, CWnd* parent, UINT id) {
  HWND parentWindow = parent ? HandleOf(*parent) : nullptr;
  if (!parentWindow || HandleOf(control)) return false;
  // A child the platform would size negatively has no area at all.
  const RECT placed = ToScreen(rect);
  const int width = std::max(0L, static_cast<long>(placed.right - placed.left));
  const int height = std::max(0L, static_cast<long>(placed.bottom - placed.top));
  HWND hwnd =
      CreateWindowExW(exStyle, windowClass, text, style | WS_CHILD, placed.left, placed.top, width,
                      height, parentWindow, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                      GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return false;
  // New children come last in the order of their siblings: the tab order after the others.
  SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFontOf(parentWindow)), FALSE);
  Attach(control, hwnd, static_cast<int>(id));
  return true;
}

}  // namespace platform::win32

using platform::win32::HandleOf;

namespace {

// The least outer size of a dialog: what the system lets a person drag a window down to, and,
// with a menu bar, wide enough for its titles with one pixel of client area below them, so that
// every command stays in reach.
SystemSIZE LeastOuterSize(HWND hwnd) {
  SystemSIZE least{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  HMENU menu = GetMenu(hwnd);
  const int titles = menu ? GetMenuItemCount(menu) : 0;
  if (titles <= 0) return least;
  SystemRECT frame{0, 0, 0, 1};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), TRUE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
  SystemRECT window;
  SystemRECT last;
  if (GetWindowRect(hwnd, &window) && GetMenuItemRect(hwnd, menu, titles - 1, &last)) {
    least.cx = std::max(least.cx, static_cast<LONG>(last.right - window.left + frame.right));
  }
  least.cy = std::max(least.cy, static_cast<LONG>(frame.bottom - frame.top));
  return least;
}

}  // namespace

const CWnd CWnd::wndBottom;

CWnd::CWnd() : m_impl(std::make_unique<Impl>()) {}

CWnd::~CWnd() { DestroyWindow(); }

int CWnd::GetDlgCtrlID() const { return m_impl->id; }

void CWnd::DestroyWindow() {
  if (HWND hwnd = HandleOf(*this)) {
    platform::win32::Detach(hwnd);
    ::DestroyWindow(hwnd);
  }
  m_impl->hwnd = nullptr;
}

CWnd* CWnd::GetDlgItem(int id) const {
  HWND hwnd = HandleOf(*this);
  return hwnd ? platform::win32::FromHandle(::GetDlgItem(hwnd, id)) : nullptr;
}

void CWnd::SetWindowText(const char* text) {
  if (HWND hwnd = HandleOf(*this)) {
    ::SetWindowTextW(hwnd, platform::win32::Widen(text ? text : "").c_str());
  }
}

void CWnd::GetWindowText(CString& text) const {
  text.clear();
  HWND hwnd = HandleOf(*this);
  if (!hwnd) return;
  std::wstring wide(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  wide.resize(
      static_cast<std::size_t>(::GetWindowTextW(hwnd, wide.data(), static_cast<int>(wide.size()))));
  text = platform::win32::Narrow(wide);
}

void CWnd::MoveWindow(int x, int y, int width, int height, bool repaint) {
  HWND hwnd = HandleOf(*this);
  if (!hwnd) return;
  // A child's rectangle is in its parent's client pixels, a dialog's is its outer frame on the
  // screen: both as the system takes them, in the tool's pixels. A child's negative side is no
  // area. A dialog is held within the sizes a person could drag a window to: never so small that
  // its caption and close box are gone, never beyond the screens.
  x = platform::win32::ToScreen(x);
  y = platform::win32::ToScreen(y);
  width = platform::win32::ToScreen(width);
  height = platform::win32::ToScreen(height);
  if (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) {
    width = std::max(0, width);
    height = std::max(0, height);
  } else {
    const SystemSIZE least = LeastOuterSize(hwnd);
    const int leastWidth = static_cast<int>(least.cx);
    const int leastHeight = static_cast<int>(least.cy);
    width = std::clamp(width, leastWidth, std::max(leastWidth, GetSystemMetrics(SM_CXMAXTRACK)));
    height =
        std::clamp(height, leastHeight, std::max(leastHeight, GetSystemMetrics(SM_CYMAXTRACK)));
  }
  ::MoveWindow(hwnd, x, y, width, height, repaint);
}

bool CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int width, int height, UINT flags) {
  HWND hwnd = HandleOf(*this);
  if (!hwnd) return false;
  // The order of a dialog's children is its tab order: the bottom is the end of it. Any other
  // `insertAfter` leaves the order alone.
  HWND after = nullptr;
  if (insertAfter == &wndBottom) {
    after = HWND_BOTTOM;
  } else {
    flags |= SWP_NOZORDER;
  }
  using platform::win32::ToScreen;
  return ::SetWindowPos(hwnd, after, ToScreen(x), ToScreen(y), std::max(0, ToScreen(width)),
                        std::max(0, ToScreen(height)), flags) != 0;
}

bool CWnd::EnableWindow(bool enable) {
  HWND hwnd = HandleOf(*this);
  if (!hwnd) return false;
  HWND dialog = GetAncestor(hwnd, GA_ROOT);
  // A control disabled while it has the focus keeps it from every other control, so that Space
  // and Enter press nothing meanwhile; the focus comes back when it is enabled again, unless the
  // user has put it elsewhere in the dialog meanwhile.
  if (!enable && GetFocus() == hwnd) m_impl->focusParked = true;
  const bool wasDisabled = ::EnableWindow(hwnd, enable) != 0;
  if (enable && m_impl->focusParked) {
    m_impl->focusParked = false;
    HWND focus = GetFocus();
    if (!focus || focus == dialog || GetAncestor(focus, GA_ROOT) != dialog) {
      // Through the dialog manager, which also moves the default-button look with the focus.
      SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hwnd), TRUE);
    }
  }
  return wasDisabled;
}

void CWnd::GetClientRect(RECT* rect) const {
  *rect = RECT{};
  if (HWND hwnd = HandleOf(*this)) {
    SystemRECT client{};
    ::GetClientRect(hwnd, &client);
    *rect = platform::win32::ToTool(platform::win32::FromSystem(client));
  }
}

void CWnd::Invalidate(bool erase) {
  if (HWND hwnd = HandleOf(*this)) InvalidateRect(hwnd, nullptr, erase);
}
