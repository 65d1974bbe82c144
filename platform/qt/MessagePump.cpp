#include "platform/MessagePump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>

namespace platform {

bool PeekAndDispatchMessage() {
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (!dispatcher) return false;
  return dispatcher->processEvents(QEventLoop::AllEvents);
}

void BlockForMessage(std::int64_t microseconds) {
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  const auto milliseconds = static_cast<int>(std::min<std::int64_t>(microseconds / 1000, 1000));
  if (!dispatcher || milliseconds <= 0) return;
  QTimer wakeUp;
  wakeUp.setSingleShot(true);
  wakeUp.setTimerType(Qt::PreciseTimer);
  wakeUp.start(milliseconds);
  dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace platform
