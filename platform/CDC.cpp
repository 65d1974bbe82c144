#include "platform/CDC.h"

#include <QFontMetrics>
#include <string_view>

#include "platform/CBrush.h"
#include "platform/CRgn.h"
#include "platform/CWnd.h"
#include "platform/TextCodec.h"

namespace {

// The pixels of a rectangle; empty when it is empty or negative.
QRect ToQRect(const RECT& rect) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return {};
  return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

}  // namespace

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) {
  if (!rect || !m_painter.isActive()) return;
  const QRect area = ToQRect(*rect);
  if (!area.isEmpty()) m_painter.fillRect(area, platform::ToQColor(colour));
}

void CDC::FillRect(const RECT* rect, CBrush* brush) {
  if (!rect || !brush || !m_painter.isActive()) return;
  const QRect area = ToQRect(*rect);
  if (!area.isEmpty()) m_painter.fillRect(area, brush->GetSafeBrush());
}

void CDC::FrameRect(const RECT* rect, CBrush* brush) {
  if (!rect || !brush || !m_painter.isActive()) return;
  const QRect area = ToQRect(*rect);
  if (area.isEmpty()) return;
  // Filled one-pixel strips rather than a pen outline: a pen straddles the edge it strokes.
  const QBrush& fill = brush->GetSafeBrush();
  m_painter.fillRect(QRect(area.left(), area.top(), area.width(), 1), fill);
  m_painter.fillRect(QRect(area.left(), area.bottom(), area.width(), 1), fill);
  m_painter.fillRect(QRect(area.left(), area.top(), 1, area.height()), fill);
  m_painter.fillRect(QRect(area.right(), area.top(), 1, area.height()), fill);
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
  if (!m_painter.isActive()) return 0;
  if (!region) {
    m_painter.setClipping(false);
    return SIMPLEREGION;
  }
  const QRegion* clip = region->GetSafeRegion();
  if (!clip) return 0;
  m_painter.setClipRegion(*clip, Qt::ReplaceClip);
  return clip->isEmpty() ? NULLREGION : SIMPLEREGION;
}

bool CDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, const char* text, UINT count,
                     const int* dx) {
  if (!m_painter.isActive() || (!text && count > 0) || dx) return false;
  const QString shown = platform::DecodeText(std::string_view(text ? text : "", count));
  const QFontMetrics metrics = m_painter.fontMetrics();
  m_painter.save();
  if ((options & ETO_CLIPPED) && rect) {
    // Intersecting with an empty rectangle clips everything, as it should.
    m_painter.setClipRect(ToQRect(*rect),
                          m_painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  }
  if (m_bkMode == OPAQUE) {
    m_painter.fillRect(QRect(x, y, metrics.horizontalAdvance(shown), metrics.height()), Qt::white);
  }
  m_painter.setPen(platform::ToQColor(m_textColour));
  m_painter.drawText(QPoint(x, y + metrics.ascent()), shown);
  m_painter.restore();
  return true;
}

bool CDC::GetTextExtentPoint32(const char* text, int count, SIZE* size) {
  if (!size || count < 0 || (!text && count > 0) || !m_painter.isActive()) return false;
  const QFontMetrics metrics = m_painter.fontMetrics();
  const QString shown = platform::DecodeText(std::string_view(text ? text : "", count));
  size->cx = metrics.horizontalAdvance(shown);
  size->cy = metrics.height();
  return true;
}

CPaintDC::CPaintDC(CWnd* window) {
  QWidget* client = window ? window->GetClientWidget() : nullptr;
  if (client) m_painter.begin(client);  // takes the widget's font
}

CPaintDC::~CPaintDC() {
  if (m_painter.isActive()) m_painter.end();
}
