// Painting on the canvas that covers a window's client area (js/paint.js). The canvas keeps
// nothing between paints: it is cleared before each, as an erased window is.
#include "platform/CDC.h"

#include <string_view>

#include "platform/CBrush.h"
#include "platform/CRgn.h"
#include "platform/CWnd.h"
#include "platform/web/Page.h"
#include "platform/web/PageText.h"
#include "platform/web/PageWindows.h"

struct CDC::Impl {
  int window = 0;       // the page's window painted on
  bool active = false;  // between the page's begin and end of painting
};

namespace {

bool IsEmpty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

void Fill(int window, const RECT& rect, COLORREF colour) {
  if (IsEmpty(rect)) return;
  up_paint_fill(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                colour);
}

}  // namespace

CDC::CDC() : m_impl(std::make_unique<Impl>()) {}

CDC::~CDC() = default;

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) {
  if (rect && m_impl->active) Fill(m_impl->window, *rect, colour);
}

void CDC::FillRect(const RECT* rect, CBrush* brush) {
  if (!rect || !brush || !m_impl->active) return;
  if (const COLORREF* colour = brush->GetSafeColour()) Fill(m_impl->window, *rect, *colour);
}

// Filled one-pixel strips, as the platform frames: the outermost pixels of the rectangle.
void CDC::FrameRect(const RECT* rect, CBrush* brush) {
  if (!rect || !brush || !m_impl->active || IsEmpty(*rect)) return;
  const COLORREF* colour = brush->GetSafeColour();
  if (!colour) return;
  const RECT& r = *rect;
  Fill(m_impl->window, RECT{r.left, r.top, r.right, r.top + 1}, *colour);
  Fill(m_impl->window, RECT{r.left, r.bottom - 1, r.right, r.bottom}, *colour);
  Fill(m_impl->window, RECT{r.left, r.top, r.left + 1, r.bottom}, *colour);
  Fill(m_impl->window, RECT{r.right - 1, r.top, r.right, r.bottom}, *colour);
}

int CDC::SetBkMode(int mode) {
  const int previous = m_bkMode;
  if (mode == TRANSPARENT || mode == OPAQUE) m_bkMode = mode;
  return previous;
}

COLORREF CDC::SetTextColor(COLORREF colour) {
  const COLORREF previous = m_textColour;
  m_textColour = colour;
  return previous;
}

int CDC::SelectClipRgn(CRgn* region) {
  if (!m_impl->active) return 0;
  if (!region) {
    up_paint_clip(m_impl->window, 0, 0, 0, 0, 0);
    return SIMPLEREGION;
  }
  const RECT* rect = region->GetSafeRect();
  if (!rect) return 0;
  up_paint_clip(m_impl->window, 1, rect->left, rect->top, rect->right, rect->bottom);
  return IsEmpty(*rect) ? NULLREGION : SIMPLEREGION;
}

bool CDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, const char* text, UINT count,
                     const int* dx) {
  if (!m_impl->active || (!text && count > 0) || dx) return false;
  const platform::web::PageText shown =
      platform::web::ToPage(std::string_view(text ? text : "", count));
  const bool clipped = (options & ETO_CLIPPED) && rect;
  const RECT clip = clipped ? *rect : RECT{};
  up_paint_text(m_impl->window, x, y, shown.data, shown.length, shown.encoding, m_textColour,
                m_bkMode == OPAQUE ? 1 : 0, clipped ? 1 : 0, clip.left, clip.top, clip.right,
                clip.bottom);
  return true;
}

bool CDC::GetTextExtentPoint32(const char* text, int count, SIZE* size) {
  if (!size || count < 0 || (!text && count > 0) || !m_impl->active) return false;
  const platform::web::PageText shown =
      platform::web::ToPage(std::string_view(text ? text : "", static_cast<std::size_t>(count)));
  size->cx = up_paint_measure(m_impl->window, shown.data, shown.length, shown.encoding);
  size->cy = up_paint_line_height(m_impl->window);
  return true;
}

CPaintDC::CPaintDC(CWnd* window) {
  m_impl->window = platform::web::HandleOf(window);
  m_impl->active = m_impl->window != 0 && up_paint_begin(m_impl->window) != 0;
}

CPaintDC::~CPaintDC() {
  if (m_impl->active) up_paint_end(m_impl->window);
}
