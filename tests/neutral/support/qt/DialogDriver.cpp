// The driver's backend part with Qt: a zero timer runs inside the next event loop, a button is
// clicked as the toolkit clicks it.
#include "tests/neutral/support/DialogDriver.h"

#include <QAbstractButton>
#include <QTimer>

#include "platform/qt/QtWindows.h"

namespace neutral::backend {

void WhenModalLoopRuns(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

bool PressButton(CWnd& button) {
  auto* widget = qobject_cast<QAbstractButton*>(platform::qt::WidgetOf(button));
  if (!widget) return false;
  widget->click();
  return true;
}

}  // namespace neutral::backend
