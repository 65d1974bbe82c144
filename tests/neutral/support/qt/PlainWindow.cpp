#include "tests/neutral/support/PlainWindow.h"

#include <QWidget>

namespace neutral {

PlainWindow::PlainWindow() { AttachWidget(new QWidget, 0); }

}  // namespace neutral
