// What a person sees of the layer's windows, asked of the system.
#include "platform/win32/Dpi.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowImpl.h"
#include "tests/neutral/support/DialogDriver.h"

namespace neutral::backend {

namespace {

using platform::win32::FromSystem;
using platform::win32::ToTool;

HWND Handle(const CWnd& window) { return platform::win32::HandleOf(window); }

RECT OnScreen(const SystemRECT& rect) { return ToTool(FromSystem(rect)); }

// Hears every text the window is given, after the window has taken it.
class SetTextWatch : public TextWatch {
 public:
  SetTextWatch(HWND hwnd, std::function<void()> changed)
      : m_hwnd(hwnd), m_changed(std::move(changed)) {
    SetWindowSubclass(m_hwnd, Heard, 0, reinterpret_cast<DWORD_PTR>(this));
  }
  ~SetTextWatch() override {
    if (IsWindow(m_hwnd)) RemoveWindowSubclass(m_hwnd, Heard, 0);
  }

 private:
  static LRESULT CALLBACK Heard(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR self) {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, Heard, 0);
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    if (message == WM_SETTEXT) reinterpret_cast<SetTextWatch*>(self)->m_changed();
    return result;
  }

  HWND m_hwnd;
  std::function<void()> m_changed;
};

}  // namespace

CWnd* FocusedWindow() { return platform::win32::FromHandle(GetFocus()); }

bool IsEnabled(const CWnd& window) {
  HWND hwnd = Handle(window);
  return hwnd && IsWindowEnabled(hwnd);
}

bool IsVisible(const CWnd& window) {
  HWND hwnd = Handle(window);
  return hwnd && IsWindowVisible(hwnd);
}

RECT PlacementOf(const CWnd& window) {
  HWND hwnd = Handle(window);
  if (!hwnd) return {};
  SystemRECT rect;
  GetWindowRect(hwnd, &rect);
  if (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<SystemPOINT*>(&rect), 2);
  return OnScreen(rect);
}

RECT ClientOnScreen(const CWnd& window) {
  HWND hwnd = Handle(window);
  if (!hwnd) return {};
  SystemRECT rect;
  GetClientRect(hwnd, &rect);
  MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<SystemPOINT*>(&rect), 2);
  return OnScreen(rect);
}

std::vector<RECT> MenuTitlesOnScreen(const CWnd& dialog) {
  std::vector<RECT> titles;
  HWND hwnd = Handle(dialog);
  HMENU bar = hwnd ? GetMenu(hwnd) : nullptr;
  for (int i = 0; bar && i < GetMenuItemCount(bar); ++i) {
    SystemRECT rect{};
    GetMenuItemRect(hwnd, bar, static_cast<UINT>(i), &rect);
    titles.push_back(OnScreen(rect));
  }
  return titles;
}

std::vector<std::string> MenuEntries(const CWnd& dialog) {
  std::vector<std::string> entries;
  HWND hwnd = Handle(dialog);
  HMENU bar = hwnd ? GetMenu(hwnd) : nullptr;
  auto text = [](HMENU menu, int position) {
    wchar_t buffer[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), buffer, 64, MF_BYPOSITION);
    return std::string(platform::win32::Narrow(buffer));
  };
  for (int i = 0; bar && i < GetMenuItemCount(bar); ++i) {
    entries.push_back(text(bar, i));
    HMENU menu = GetSubMenu(bar, i);
    for (int j = 0; menu && j < GetMenuItemCount(menu); ++j) {
      const bool separator = GetMenuState(menu, static_cast<UINT>(j), MF_BYPOSITION) & MF_SEPARATOR;
      entries.push_back(separator ? "-" : "  " + text(menu, j));
    }
  }
  return entries;
}

bool HasFixedSize(const CWnd& window) {
  HWND hwnd = Handle(window);
  return hwnd && !(GetWindowLongPtrW(hwnd, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX));
}

// The dialog manager's own conversion of the units: four across, eight down.
platform::DialogBaseUnits BaseUnitsOf(const CWnd& dialog) {
  SystemRECT units{0, 0, 4, 8};
  if (HWND hwnd = Handle(dialog)) MapDialogRect(hwnd, &units);
  return {ToTool(units.right), ToTool(units.bottom)};
}

// Painted afresh, then copied from the window's own pixels.
Picture PictureOf(const CWnd& window) {
  HWND hwnd = Handle(window);
  if (!hwnd) return {};
  RedrawWindow(hwnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  SystemRECT client;
  GetClientRect(hwnd, &client);
  Picture picture{client.right, client.bottom, {}};
  picture.pixels.resize(static_cast<std::size_t>(picture.width * picture.height));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(hwnd);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, picture.width, picture.height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* rows = static_cast<const std::uint32_t*>(bits);
  for (std::size_t i = 0; bits && i < picture.pixels.size(); ++i) {
    const std::uint32_t bgr = rows[i];  // 0x00RRGGBB in a DIB section
    picture.pixels[i] = (bgr >> 16 & 0xFF) | (bgr & 0xFF00) | (bgr & 0xFF) << 16;
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(hwnd, screen);
  return picture;
}

COLORREF FaceColour(const CWnd&) { return GetSysColor(COLOR_3DFACE); }

std::unique_ptr<TextWatch> WatchText(CWnd& window, std::function<void()> changed) {
  HWND hwnd = Handle(window);
  if (!hwnd) return nullptr;
  return std::make_unique<SetTextWatch>(hwnd, std::move(changed));
}

}  // namespace neutral::backend
