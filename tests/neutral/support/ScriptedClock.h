// A performance counter for tests: every read moves time on by a fixed step, and actions run
// once when time reaches their moment. It also notes what the programming dialog shows, so that a
// test sees when each status text and each swap appeared.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/PerformanceCounter.h"
#include "platform/WinTypes.h"
#include "tests/neutral/support/DialogDriver.h"

class CProgramDlg;

namespace neutral {

class ScriptedClock : public platform::CounterSource {
 public:
  struct StatusChange {
    std::int64_t time;  // microseconds
    std::string text;
  };

  explicit ScriptedClock(std::int64_t stepMicroseconds = 100);  // installs itself
  ~ScriptedClock() override;
  ScriptedClock(const ScriptedClock&) = delete;
  ScriptedClock& operator=(const ScriptedClock&) = delete;

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
  const std::vector<std::int64_t>& Swaps() const { return m_swaps; }
  // Every change of the panels a device could see, the sequencer's swaps and any putting back of
  // the colours alike, noted at each read.
  const std::vector<std::int64_t>& PanelChanges() const { return m_panelChanges; }
  const std::vector<StatusChange>& StatusChanges() const { return m_statusChanges; }

 private:
  void Observe();
  void NoteStatus();

  std::int64_t m_step;
  std::int64_t m_now = 0;
  int m_waits = 0;
  std::vector<std::pair<std::int64_t, std::function<void()>>> m_actions;
  CProgramDlg* m_dialog = nullptr;
  std::unique_ptr<backend::TextWatch> m_statusWatch;
  COLORREF m_lastLeft = 0;
  std::vector<std::int64_t> m_swaps;
  std::vector<std::int64_t> m_panelChanges;
  std::vector<StatusChange> m_statusChanges;
};

}  // namespace neutral
