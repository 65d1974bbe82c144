#include "tests/neutral/support/PlainWindow.h"

#include <QWidget>

#include "platform/qt/QtWindows.h"

namespace neutral {

PlainWindow::PlainWindow() { platform::qt::AttachWidget(*this, new QWidget, 0); }

PlainWindow::PlainWindow(int width, int height) : PlainWindow() {
  platform::qt::WidgetOf(*this)->resize(width, height);
}

}  // namespace neutral
