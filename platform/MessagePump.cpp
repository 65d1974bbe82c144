#include "MessagePump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

namespace platform {

bool PeekAndDispatchMessage() {
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (!dispatcher) return false;
  return dispatcher->processEvents(QEventLoop::AllEvents);
}

}  // namespace platform
