#include "platform/CDC.h"

#include <string>

#include "platform/CBrush.h"
#include "platform/CRgn.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowImpl.h"

// The device context being painted on, and what the paint context selected into it.
struct CDC::Impl {
  HWND hwnd = nullptr;
  HDC dc = nullptr;  // null: nothing is drawn
  PAINTSTRUCT paint{};
  HGDIOBJ oldFont = nullptr;
  HFONT toolFont = nullptr;  // the dialog font at the tool's scale, when the screen's differs
};

namespace {

bool IsEmpty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

}  // namespace

CDC::CDC() : m_impl(std::make_unique<Impl>()) {}

CDC::~CDC() = default;

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) {
  if (!rect || !m_impl->dc || IsEmpty(*rect)) return;
  // The platform's own way: an opaque, empty text run in the background colour.
  const COLORREF previous = SetBkColor(m_impl->dc, colour);
  const SystemRECT area = platform::win32::ToSystem(*rect);
  ExtTextOutW(m_impl->dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
  SetBkColor(m_impl->dc, previous);
}

void CDC::FillRect(const RECT* rect, CBrush* brush) {
  const COLORREF* colour = brush ? brush->GetSafeColour() : nullptr;
  if (!rect || !colour || !m_impl->dc || IsEmpty(*rect)) return;
  HBRUSH solid = CreateSolidBrush(*colour);
  const SystemRECT area = platform::win32::ToSystem(*rect);
  ::FillRect(m_impl->dc, &area, solid);
  DeleteObject(solid);
}

void CDC::FrameRect(const RECT* rect, CBrush* brush) {
  const COLORREF* colour = brush ? brush->GetSafeColour() : nullptr;
  if (!rect || !colour || !m_impl->dc || IsEmpty(*rect)) return;
  HBRUSH solid = CreateSolidBrush(*colour);
  const SystemRECT area = platform::win32::ToSystem(*rect);
  ::FrameRect(m_impl->dc, &area, solid);
  DeleteObject(solid);
}

int CDC::SetBkMode(int mode) {
  const int previous = m_bkMode;
  if (mode == TRANSPARENT || mode == OPAQUE) {
    m_bkMode = mode;
    if (m_impl->dc) ::SetBkMode(m_impl->dc, mode);
  }
  return previous;
}

COLORREF CDC::SetTextColor(COLORREF colour) {
  const COLORREF previous = m_textColour;
  m_textColour = colour;
  if (m_impl->dc) ::SetTextColor(m_impl->dc, colour);
  return previous;
}

int CDC::SelectClipRgn(CRgn* region) {
  if (!m_impl->dc) return 0;
  if (!region) {
    ::SelectClipRgn(m_impl->dc, nullptr);
    return SIMPLEREGION;
  }
  const RECT* rect = region->GetSafeRect();
  if (!rect) return 0;
  // A clip region is in the screen's pixels, not the context's units. The system copies the
  // region: this one goes at once.
  SystemPOINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
  LPtoDP(m_impl->dc, corners, 2);
  HRGN clip = IsEmpty(*rect)
                  ? CreateRectRgn(0, 0, 0, 0)
                  : CreateRectRgn(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
  const int kind = ::SelectClipRgn(m_impl->dc, clip);
  DeleteObject(clip);
  return kind == NULLREGION ? NULLREGION : SIMPLEREGION;
}

bool CDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, const char* text, UINT count,
                     const int* dx) {
  if (!m_impl->dc || (!text && count > 0) || dx) return false;
  const std::wstring shown = platform::win32::Widen(std::string_view(text ? text : "", count));
  // Text cells in OPAQUE mode are white, as the layer defines them.
  const COLORREF previous = SetBkColor(m_impl->dc, RGB(255, 255, 255));
  const SystemRECT clip = rect ? platform::win32::ToSystem(*rect) : SystemRECT{};
  const bool drawn = ExtTextOutW(m_impl->dc, x, y, options & ETO_CLIPPED, rect ? &clip : nullptr,
                                 shown.c_str(), static_cast<UINT>(shown.size()), nullptr) != 0;
  SetBkColor(m_impl->dc, previous);
  return drawn;
}

bool CDC::GetTextExtentPoint32(const char* text, int count, SIZE* size) {
  if (!size || count < 0 || (!text && count > 0) || !m_impl->dc) return false;
  const std::wstring shown =
      platform::win32::Widen(std::string_view(text ? text : "", static_cast<std::size_t>(count)));
  SystemSIZE extent{};
  if (!GetTextExtentPoint32W(m_impl->dc, shown.c_str(), static_cast<int>(shown.size()), &extent))
    return false;
  size->cx = static_cast<int>(extent.cx);
  size->cy = static_cast<int>(extent.cy);
  return true;
}

// Inside WM_PAINT: the update region, erased as the window's class erases it, in the dialog's
// font, with the layer's starting text colour and background mode. Coordinates are the tool's
// pixels, which the context maps to the screen's; the font is the dialog's at the tool's scale,
// so that the mapping brings it back to the size the dialog's controls show.
CPaintDC::CPaintDC(CWnd* window) {
  HWND hwnd = window ? platform::win32::HandleOf(*window) : nullptr;
  if (!hwnd) return;
  m_impl->hwnd = hwnd;
  m_impl->dc = BeginPaint(hwnd, &m_impl->paint);
  if (!m_impl->dc) return;
  HFONT font = platform::win32::DialogFontOf(hwnd);
  const int dpi = platform::win32::ScreenDpi();
  if (dpi != platform::win32::kToolDpi) {
    SetMapMode(m_impl->dc, MM_ANISOTROPIC);
    SetWindowExtEx(m_impl->dc, platform::win32::kToolDpi, platform::win32::kToolDpi, nullptr);
    SetViewportExtEx(m_impl->dc, dpi, dpi, nullptr);
    LOGFONTW face{};
    if (font && GetObjectW(font, sizeof face, &face)) {
      face.lfHeight = platform::win32::ToTool(face.lfHeight);
      face.lfWidth = platform::win32::ToTool(face.lfWidth);
      font = m_impl->toolFont = CreateFontIndirectW(&face);
    }
  }
  if (font) m_impl->oldFont = SelectObject(m_impl->dc, font);
  ::SetBkMode(m_impl->dc, OPAQUE);
  ::SetTextColor(m_impl->dc, RGB(0, 0, 0));
}

CPaintDC::~CPaintDC() {
  if (!m_impl->hwnd) return;
  if (m_impl->dc && m_impl->oldFont) SelectObject(m_impl->dc, m_impl->oldFont);
  if (m_impl->toolFont) DeleteObject(m_impl->toolFont);
  EndPaint(m_impl->hwnd, &m_impl->paint);
}
