#include "tests/neutral/support/ModalWatchdog.h"

#include <utility>

namespace neutral {

namespace {
// How often it looks, and how soon it closes the next window once it has fired (a dialog under
// the one it closed).
constexpr std::chrono::milliseconds kTick(100);
}  // namespace

ModalWatchdog::ModalWatchdog(FailureReport report, std::chrono::milliseconds limit)
    : m_report(std::move(report)),
      m_deadline(std::chrono::steady_clock::now() + limit),
      m_ticker(backend::Every(kTick, [this] { Tick(); })) {}

void ModalWatchdog::Tick() {
  if (std::chrono::steady_clock::now() < m_deadline) return;
  const backend::TopWindow top = backend::FindTopWindow();
  if (!top.handle) return;
  if (!m_fired) {
    m_fired = true;
    m_report("a modal dialog was still open when the watchdog ran out: \"" + top.title + "\"");
  }
  backend::EndTopWindow(top);
}

}  // namespace neutral
