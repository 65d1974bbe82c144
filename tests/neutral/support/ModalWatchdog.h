// Fails a test instead of hanging it. A check that returns early from inside a modal loop can
// leave a dialog (or a programming run) waiting for an answer that never comes, until CTest's
// time limit; while a watchdog lives, any modal window still open after its limit is cancelled
// and closed, the innermost first, and the test fails, naming it. Make one before every DoModal
// of a dialog under test (RunModal does).
#pragma once

#include <chrono>
#include <memory>

#include "tests/neutral/support/DialogDriver.h"

namespace neutral {

class ModalWatchdog {
 public:
  explicit ModalWatchdog(FailureReport report = ReportToGoogleTest,
                         std::chrono::milliseconds limit = std::chrono::seconds(15));
  ModalWatchdog(const ModalWatchdog&) = delete;
  ModalWatchdog& operator=(const ModalWatchdog&) = delete;

  bool Fired() const { return m_fired; }

 private:
  void Tick();

  FailureReport m_report;
  std::chrono::steady_clock::time_point m_deadline;
  bool m_fired = false;
  std::unique_ptr<backend::Ticker> m_ticker;
};

}  // namespace neutral
