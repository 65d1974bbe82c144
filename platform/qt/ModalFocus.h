// When a modal dialog closes, the window under it is active again and the control that had the
// keyboard focus has it again, as on the platform, so that Enter presses the same default button
// as before. The toolkit leaves that to the window manager, and without one to nobody.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace platform::qt {

// Notes the focus when made, before the dialog is shown; gives it back when destroyed, after the
// dialog has closed.
class ModalFocusReturn {
 public:
  ModalFocusReturn()
      : m_focus(QApplication::focusWidget()), m_window(QApplication::activeWindow()) {}
  ~ModalFocusReturn() {
    QWidget* window = m_focus ? m_focus->window() : m_window.data();
    if (!window || !window->isVisible()) return;
    window->activateWindow();
    if (m_focus) m_focus->setFocus();
  }
  ModalFocusReturn(const ModalFocusReturn&) = delete;
  ModalFocusReturn& operator=(const ModalFocusReturn&) = delete;

 private:
  QPointer<QWidget> m_focus;
  QPointer<QWidget> m_window;
};

}  // namespace platform::qt
