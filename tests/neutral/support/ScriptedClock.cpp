#include "tests/neutral/support/ScriptedClock.h"

#include "programming/ProgramDlg.h"
#include "programming/TextProgressCtrl.h"

namespace neutral {

ScriptedClock::ScriptedClock(std::int64_t stepMicroseconds) : m_step(stepMicroseconds) {
  platform::SetCounterSource(this);
}

ScriptedClock::~ScriptedClock() { platform::SetCounterSource(nullptr); }

void ScriptedClock::At(std::int64_t time, std::function<void()> action) {
  m_actions.emplace_back(time, std::move(action));
}

std::int64_t ScriptedClock::Count() {
  Observe();
  m_now += m_step;
  // By index: an action may add another.
  for (std::size_t i = 0; i < m_actions.size(); ++i) {
    if (m_actions[i].second && m_now >= m_actions[i].first) {
      const std::function<void()> run = std::move(m_actions[i].second);
      m_actions[i].second = nullptr;
      run();
    }
  }
  return m_now;
}

void ScriptedClock::WaitFor(std::int64_t microseconds) {
  ++m_waits;
  m_now += microseconds;
}

void ScriptedClock::Watch(CProgramDlg* dialog) {
  m_dialog = dialog;
  m_lastLeft = dialog->GetLeftColour();
  m_statusWatch = backend::WatchText(*dialog->GetProgressCtrl(), [this] { NoteStatus(); });
  NoteStatus();
}

void ScriptedClock::NoteStatus() {
  std::string text = TextOf(*m_dialog->GetProgressCtrl());
  // A text set again unchanged is no change a person sees.
  if (!m_statusChanges.empty() && m_statusChanges.back().text == text) return;
  m_statusChanges.push_back({m_now, std::move(text)});
}

void ScriptedClock::Observe() {
  if (!m_dialog) return;
  if (m_dialog->GetLeftColour() != m_lastLeft) {
    m_lastLeft = m_dialog->GetLeftColour();
    m_panelChanges.push_back(m_now);
    // A cancel resets the colours without a swap of the sequencer's: only running swaps count.
    if (!m_dialog->IsStopped()) m_swaps.push_back(m_now);
  }
}

}  // namespace neutral
