#include "tests/support/TestWindow.h"

#include <QWidget>

namespace testsupport {

TestWindow::TestWindow() { AttachWidget(new QWidget, 0); }

TestWindow::TestWindow(int width, int height) : TestWindow() {
  GetSafeWidget()->resize(width, height);
}

}  // namespace testsupport
