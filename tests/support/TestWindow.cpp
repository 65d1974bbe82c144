#include "tests/support/TestWindow.h"

#include <QWidget>

#include "platform/qt/QtWindows.h"

namespace testsupport {

TestWindow::TestWindow() { platform::qt::AttachWidget(*this, new QWidget, 0); }

TestWindow::TestWindow(int width, int height) : TestWindow() {
  platform::qt::WidgetOf(*this)->resize(width, height);
}

}  // namespace testsupport
