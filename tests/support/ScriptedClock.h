// A performance counter for tests: every read moves time on by a fixed step, and actions run
// once when time reaches their moment. It also notes, at each read, what the dialog shows, so a
// test sees when each status text and each swap appeared.
#pragma once

#include <QObject>
#include <QString>
#include <QVector>
#include <functional>

#include "platform/PerformanceCounter.h"

class CProgramDlg;

class ScriptedClock : public platform::CounterSource, public QObject {
 public:
  struct Swap {
    std::int64_t time;  // microseconds, when the swap was first seen
  };
  struct StatusChange {
    std::int64_t time;
    QString text;
  };

  explicit ScriptedClock(std::int64_t stepMicroseconds = 100);
  ~ScriptedClock() override;

  // Runs `action` at the first read at or after `time` (microseconds).
  void At(std::int64_t time, std::function<void()> action);
  // Notes the dialog's swaps at every read, and its status texts as they are set. Call once the
  // dialog's progress bar exists.
  void Watch(CProgramDlg* dialog);

  std::int64_t Count() override;
  std::int64_t Frequency() override { return 1'000'000; }
  // Time moves on at once; actions due on the way run at the next read.
  void WaitFor(std::int64_t microseconds) override;

  std::int64_t Now() const { return m_now; }
  int Waits() const { return m_waits; }
  const QVector<std::int64_t>& Swaps() const { return m_swaps; }
  // Every change of the panels a device could see, the sequencer's swaps and any putting back of
  // the colours alike, noted at each read.
  const QVector<std::int64_t>& PanelChanges() const { return m_panelChanges; }
  const QVector<StatusChange>& StatusChanges() const { return m_statusChanges; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Observe();

  std::int64_t m_step;
  std::int64_t m_now = 0;
  int m_waits = 0;
  QVector<std::pair<std::int64_t, std::function<void()>>> m_actions;
  CProgramDlg* m_dialog = nullptr;
  quint32 m_lastLeft = 0;
  QVector<std::int64_t> m_swaps;
  QVector<std::int64_t> m_panelChanges;
  QVector<StatusChange> m_statusChanges;
};
