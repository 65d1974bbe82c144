// The dialog keys filtered out of every event the application dispatches.
#include <QCoreApplication>
#include <QKeyEvent>

#include "platform/Backend.h"

namespace {

class DialogKeyFilter : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease ||
        event->type() == QEvent::ShortcutOverride) {
      switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
          return true;
        default:
          break;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

DialogKeyFilter* g_filter = nullptr;

}  // namespace

void platform::backend::FilterDialogKeys(bool filtered) {
  if (filtered && !g_filter && QCoreApplication::instance()) {
    g_filter = new DialogKeyFilter;
    QCoreApplication::instance()->installEventFilter(g_filter);
  } else if (!filtered && g_filter) {
    delete g_filter;  // removes itself from the application
    g_filter = nullptr;
  }
}
