// The Qt backend's side of the layer's objects: the widget behind a CWnd and the toolkit's forms
// of the layer's plain values. For the backend's own code and for tests of this backend; the
// tool's code never sees these.
#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

#include "platform/CWnd.h"
#include "platform/WinTypes.h"

namespace platform::qt {

// The widget, or null when the window does not exist (yet or any more).
QWidget* WidgetOf(const CWnd& window);
// Null for a null window.
QWidget* WidgetOf(const CWnd* window);

// Where child controls go and client coordinates start: a dialog's client area below its menu
// bar, any other window's own widget.
QWidget* ClientWidgetOf(const CWnd& window);
QWidget* ClientWidgetOf(const CWnd* window);

// The CWnd that a widget made by this layer belongs to, or null.
CWnd* FromWidget(const QWidget* widget);

// Makes `widget` the window of `window` with the control id `id`; the widget is destroyed with
// that object unless its parent destroys it first.
void AttachWidget(CWnd& window, QWidget* widget, int id);

// A rectangle's pixels as the toolkit's rectangle, whatever its sides.
inline QRect QRectOf(const RECT& rect) {
  return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// The toolkit's colour for a COLORREF (red in the low byte).
inline QColor ToQColor(COLORREF colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace platform::qt
