#include "tests/support/ModalWatchdog.h"

#include <QApplication>
#include <QDialog>
#include <QtTest>

ModalWatchdog::ModalWatchdog(std::chrono::milliseconds limit) {
  m_timer.setSingleShot(true);
  QObject::connect(&m_timer, &QTimer::timeout, [this] { CloseModalDialogs(); });
  m_timer.start(limit);
}

void ModalWatchdog::CloseModalDialogs() {
  QWidget* modal = QApplication::activeModalWidget();
  // The application's main window runs as an ordinary window: the last one still shown.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!modal && window->isVisible() && qobject_cast<QDialog*>(window)) modal = window;
  }
  if (!modal) return;
  if (!m_fired) {
    m_fired = true;
    const QByteArray message = "a modal dialog was still open when the watchdog ran out: \"" +
                               modal->windowTitle().toUtf8() + "\"";
    QTest::qFail(message.constData(), __FILE__, __LINE__);
  }
  // The close box first: it cancels a countdown or a run, whose loop would otherwise go on; then
  // the dialog is ended outright. Again shortly, for a dialog under this one.
  modal->close();
  if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible()) dialog->done(-3);
  m_timer.start(std::chrono::milliseconds(100));
}
