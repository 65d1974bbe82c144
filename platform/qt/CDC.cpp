#include "platform/CDC.h"

#include <QFontMetrics>
#include <QPainter>
#include <string_view>

#include "platform/CBrush.h"
#include "platform/CRgn.h"
#include "platform/CWnd.h"
#include "platform/qt/QtWindows.h"
#include "platform/qt/TextCodec.h"

struct CDC::Impl {
  QPainter painter;  // inactive means nothing is drawn
};

namespace {

// The pixels of a rectangle; empty when it is empty or negative.
QRect ToQRect(const RECT& rect) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return {};
  return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// The toolkit's brush of a CBrush: none once it is deleted.
QBrush BrushOf(const CBrush& brush) {
  const COLORREF* colour = brush.GetSafeColour();
  return colour ? QBrush(platform::qt::ToQColor(*colour)) : QBrush();
}

}  // namespace

CDC::CDC() : m_impl(std::make_unique<Impl>()) {}

CDC::~CDC() = default;

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) {
  if (!rect || !m_impl->painter.isActive()) return;
  const QRect area = ToQRect(*rect);
  if (!area.isEmpty()) m_impl->painter.fillRect(area, platform::qt::ToQColor(colour));
}

void CDC::FillRect(const RECT* rect, CBrush* brush) {
  if (!rect || !brush || !m_impl->painter.isActive()) return;
  const QRect area = ToQRect(*rect);
  if (!area.isEmpty()) m_impl->painter.fillRect(area, BrushOf(*brush));
}

void CDC::FrameRect(const RECT* rect, CBrush* brush) {
  if (!rect || !brush || !m_impl->painter.isActive()) return;
  const QRect area = ToQRect(*rect);
  if (area.isEmpty()) return;
  // Filled one-pixel strips rather than a pen outline: a pen straddles the edge it strokes.
  const QBrush fill = BrushOf(*brush);
  m_impl->painter.fillRect(QRect(area.left(), area.top(), area.width(), 1), fill);
  m_impl->painter.fillRect(QRect(area.left(), area.bottom(), area.width(), 1), fill);
  m_impl->painter.fillRect(QRect(area.left(), area.top(), 1, area.height()), fill);
  m_impl->painter.fillRect(QRect(area.right(), area.top(), 1, area.height()), fill);
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
  if (!m_impl->painter.isActive()) return 0;
  if (!region) {
    m_impl->painter.setClipping(false);
    return SIMPLEREGION;
  }
  const RECT* rect = region->GetSafeRect();
  if (!rect) return 0;
  const QRegion clip(platform::qt::QRectOf(*rect));
  m_impl->painter.setClipRegion(clip, Qt::ReplaceClip);
  return clip.isEmpty() ? NULLREGION : SIMPLEREGION;
}

bool CDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, const char* text, UINT count,
                     const int* dx) {
  if (!m_impl->painter.isActive() || (!text && count > 0) || dx) return false;
  const QString shown = platform::qt::DecodeText(std::string_view(text ? text : "", count));
  const QFontMetrics metrics = m_impl->painter.fontMetrics();
  m_impl->painter.save();
  if ((options & ETO_CLIPPED) && rect) {
    // Intersecting with an empty rectangle clips everything, as it should.
    m_impl->painter.setClipRect(
        ToQRect(*rect), m_impl->painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  }
  if (m_bkMode == OPAQUE) {
    m_impl->painter.fillRect(QRect(x, y, metrics.horizontalAdvance(shown), metrics.height()),
                             Qt::white);
  }
  m_impl->painter.setPen(platform::qt::ToQColor(m_textColour));
  m_impl->painter.drawText(QPoint(x, y + metrics.ascent()), shown);
  m_impl->painter.restore();
  return true;
}

bool CDC::GetTextExtentPoint32(const char* text, int count, SIZE* size) {
  if (!size || count < 0 || (!text && count > 0) || !m_impl->painter.isActive()) return false;
  const QFontMetrics metrics = m_impl->painter.fontMetrics();
  const QString shown = platform::qt::DecodeText(std::string_view(text ? text : "", count));
  size->cx = metrics.horizontalAdvance(shown);
  size->cy = metrics.height();
  return true;
}

CPaintDC::CPaintDC(CWnd* window) {
  QWidget* client = platform::qt::ClientWidgetOf(window);
  if (client) m_impl->painter.begin(client);  // takes the widget's font
}

CPaintDC::~CPaintDC() {
  if (m_impl->painter.isActive()) m_impl->painter.end();
}
