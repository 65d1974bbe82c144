// What the window styles of a child control mean here.
#pragma once

#include <QWidget>

#include "platform/WinTypes.h"

namespace platform::qt {

// Places a new child at `rect` (left and top inside, right and bottom outside) and shows it when
// the style has WS_VISIBLE.
inline void PlaceChild(QWidget* widget, DWORD style, const RECT& rect) {
  widget->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  widget->setVisible((style & WS_VISIBLE) != 0);
}

}  // namespace platform::qt
