#include "tests/support/ScriptedClock.h"

#include <QEvent>
#include <QWidget>

#include "platform/qt/QtWindows.h"
#include "programming/ProgramDlg.h"
#include "programming/TextProgressCtrl.h"

ScriptedClock::ScriptedClock(std::int64_t stepMicroseconds) : m_step(stepMicroseconds) {
  platform::SetCounterSource(this);
}

ScriptedClock::~ScriptedClock() { platform::SetCounterSource(nullptr); }

void ScriptedClock::At(std::int64_t time, std::function<void()> action) {
  m_actions.append({time, std::move(action)});
}

std::int64_t ScriptedClock::Count() {
  Observe();
  m_now += m_step;
  for (auto& [time, action] : m_actions) {
    if (action && m_now >= time) {
      auto run = std::move(action);
      action = nullptr;
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
  QWidget* progress = platform::qt::WidgetOf(dialog->GetProgressCtrl());
  progress->installEventFilter(this);
  m_lastLeft = dialog->GetLeftColour();
  m_statusChanges.append({m_now, progress->windowTitle()});
}

bool ScriptedClock::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::WindowTitleChange) {
    m_statusChanges.append({m_now, static_cast<QWidget*>(watched)->windowTitle()});
  }
  return false;
}

void ScriptedClock::Observe() {
  if (!m_dialog) return;
  if (m_dialog->GetLeftColour() != m_lastLeft) {
    m_lastLeft = m_dialog->GetLeftColour();
    m_panelChanges.append(m_now);
    // A cancel resets the colours without a swap of the sequencer's: only running swaps count.
    if (!m_dialog->IsStopped()) m_swaps.append(m_now);
  }
}
