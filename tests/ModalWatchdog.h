// Fails a test instead of hanging it. A check inside a timer callback that returns early leaves a
// modal dialog (or a programming run) going until CTest's timeout; while a watchdog lives, any
// modal dialog still open after its limit is cancelled and closed, and the test fails, naming the
// dialog. Make one before every DoModal or exec of a dialog under test.
#pragma once

#include <QTimer>
#include <chrono>

class ModalWatchdog {
 public:
  explicit ModalWatchdog(std::chrono::milliseconds limit = std::chrono::seconds(15));
  ModalWatchdog(const ModalWatchdog&) = delete;
  ModalWatchdog& operator=(const ModalWatchdog&) = delete;

  bool Fired() const { return m_fired; }

 private:
  void CloseModalDialogs();

  QTimer m_timer;
  bool m_fired = false;
};
