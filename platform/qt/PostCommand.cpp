#include <QMetaObject>
#include <QPointer>

#include "platform/CDialog.h"
#include "platform/qt/QtWindows.h"

// Queued on the dialog's window: the dialog's run shows the window before its loop takes the
// call, and a window closed meanwhile takes it with it.
void CDialog::PostCommand(int id) {
  QWidget* window = platform::qt::WidgetOf(*this);
  if (!window) return;
  QMetaObject::invokeMethod(
      window, [this, id] { SendCommand(id); }, Qt::QueuedConnection);
}
